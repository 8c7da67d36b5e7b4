#pragma once

#include "cli/Arguments.h"
#include "cli/CheckedFile.h"
#include "cli/SafeOutput.h"

#include <optional>
#include <string>
#include <vector>

namespace axlewise {

// The commands, each given its parsed arguments. Messages go to standard
// error as "axlewise-cli: FILE: reason" or "FILE:LINE: reason"; every output
// is written through SafeOutput.
ExitStatus RunCheck(const Arguments& arguments);
ExitStatus RunCsv(const Arguments& arguments);
// render and report need the program's argc and argv for the Qt application
// they start to draw.
ExitStatus RunRender(const Arguments& arguments, int& argc, char** argv);
ExitStatus RunReport(const Arguments& arguments, int& argc, char** argv);

// Writes "axlewise-cli: " and the message, and a line break, to standard error.
void Complain(const std::string& message);

// The steps the commands share.

// The status of a run that met both.
ExitStatus Worse(ExitStatus a, ExitStatus b);

// Reads one file into the sink, counts into `counts`: Unreadable when a line
// was not a truck; a file that cannot be read (or held in memory) is reported
// and gives Failed.
ExitStatus ReadInto(const std::string& path, TruckIndex ignore, CheckedTruckSink& sink,
                    FileCounts& counts);

// Looks at every file before any output is touched (CheckReadable); each that
// cannot be read is reported. False when any cannot.
bool AllReadable(const std::vector<std::string>& paths);

// Opens the output of a command that reads `inputs` (none: standard output);
// a refusal or a failure is reported and leaves `out` empty.
bool OpenOutput(std::optional<SafeOutput>& out, const std::optional<std::string>& path,
                const std::vector<std::string>& inputs);

// Finishes the output: `status` when it is in place, Failed (reported) when
// any write, the flush, the close or the renaming failed.
ExitStatus Commit(SafeOutput& out, ExitStatus status);

// Drawing text needs a Gui application; without a display it runs on Qt's
// offscreen platform unless the caller chose one with QT_QPA_PLATFORM. Called
// before the application is made.
void PreferOffscreen();

}  // namespace axlewise
