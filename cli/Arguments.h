#pragma once

#include "records/BrowserState.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace axlewise {

// A command line that cannot be carried out as written; the message says why
// and the program exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Command { Check, Csv, Render };

// The words after the command, sorted out.
struct Arguments {
    Command command = Command::Check;
    std::vector<std::string> files;
    // --ignore N: lines skipped at the start of each file.
    TruckIndex ignore = 0;
    // -o OUT; none means standard output.
    std::optional<std::string> output;
    // render: --truck N (1-based among the file's trucks) and --scale (pixel ratio).
    TruckIndex truck = 0;
    double scale = 1.0;
    // --help was given: nothing else is looked at.
    bool help = false;
};

// The command named by word ("check", "csv", "render"), or nothing.
std::optional<Command> CommandNamed(const std::string& word);

// Reads the words that follow the command. Options may stand anywhere among the
// files, as "--name VALUE" or "--name=VALUE"; "--" ends the options. Each
// command accepts its own options only:
//   check  [--ignore N] FILE...
//   csv    [--ignore N] FILE... [-o OUT]
//   render [--ignore N] FILE --truck N -o OUT [--scale S]
// N for --ignore is read as the window's "No of lines to ignore" box reads it;
// --truck is a whole number from 1; --scale a number above 0 and at most 8.
// A missing, unknown or malformed option, or a wrong number of files, raises
// UsageError.
Arguments ParseArguments(Command command, const std::vector<std::string>& words);

}  // namespace axlewise
