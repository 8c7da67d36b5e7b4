// axlewise-cli: checks, CSV and pictures of truck files, without a window.
//   axlewise-cli check [--ignore N] FILE...
//   axlewise-cli csv [--ignore N] FILE... [-o OUT]
//   axlewise-cli render [--ignore N] FILE --truck N -o OUT.png [--scale S]

#include "cli/Arguments.h"
#include "cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using axlewise::Command;
using axlewise::ExitStatus;

constexpr const char* kProgramHelp =
    R"(usage: axlewise-cli COMMAND [OPTIONS] FILE...

Checks, tables and pictures of weigh-in-motion truck files, read as the
Axlewise window reads them, without a window.

Commands:
  check    what each file holds and which trucks fail the plausibility checks
  csv      one CSV row per truck: its fields, its time and its failed checks
  render   the axle diagram of one truck as a PNG picture

'axlewise-cli COMMAND --help' tells more about a command.

Exit status: 0 every line was read, 1 a line could not be read as a truck,
2 a usage error or a file that could not be read or written.
)";

constexpr const char* kCheckHelp =
    R"(usage: axlewise-cli check [--ignore N] FILE...

Reads every line of each FILE, going on past lines that are not trucks, and
prints per file: lines read, trucks, every unreadable line as FILE:LINE: reason
(the first 20, then how many more), how many trucks fail each check with their
share and the first three truck numbers, the first and last time of passage,
trucks per lane and direction, and GVW's minimum, 10th, 50th and 90th
percentiles and maximum. Trucks are numbered 1, 2, ... in the order read.

Checks: AXLE_SUM AXLE_COUNT AXLE_EMPTY AXLE_EXTRA WHEELBASE FIELD_MAX CLOCK
SPEED DUPLICATE ORDER (see the README).

Options:
  --ignore N   skip the first N lines of each file (head lines), as the
               window's "No of lines to ignore" box does
  --help       this text

Exit status: 0 every line was read, 1 a line could not be read as a truck,
2 a usage error or a file that could not be read.
)";

constexpr const char* kCsvHelp =
    R"(usage: axlewise-cli csv [--ignore N] FILE... [-o OUT]

Writes one CSV row per truck of every FILE (RFC 4180, UTF-8, CRLF row ends), a
header row first: file, line, the 32 fields under their captions, Time (s) as
the window shows it, and checks, the codes of the failed checks separated by
blanks. Lines that are not trucks are reported on standard error as
FILE:LINE: reason.

Options:
  --ignore N   skip the first N lines of each file (head lines)
  -o OUT       write to the file OUT instead of standard output
  --help       this text

Exit status: 0 every line was read, 1 a line could not be read as a truck,
2 a usage error or a file that could not be read or written.
)";

constexpr const char* kRenderHelp =
    R"(usage: axlewise-cli render [--ignore N] FILE --truck N -o OUT.png [--scale S]

Draws the axle diagram of truck N (the Nth truck read from FILE, from 1)
exactly as the window's picture box shows it, 431 x 127 pixels times S, and
writes it as a PNG. A truck with fewer than two axles has no diagram: the
picture is left blank and standard error says so. Runs without a display (on
Qt's offscreen platform unless QT_QPA_PLATFORM is set).

Options:
  --ignore N   skip the first N lines of FILE (head lines)
  --truck N    the truck to draw, 1 for the first
  -o OUT.png   the picture to write
  --scale S    pixel ratio, above 0 and at most 8 (default 1)
  --help       this text

Exit status: 0 the picture was written, 1 it was written but a line before the
truck could not be read, 2 a usage error, no truck N, or a file that could not
be read or written.
)";

const char* HelpOf(Command command) {
    switch (command) {
        case Command::Check:
            return kCheckHelp;
        case Command::Csv:
            return kCsvHelp;
        case Command::Render:
            return kRenderHelp;
    }
    return kProgramHelp;
}

int Exit(ExitStatus status) {
    return static_cast<int>(status);
}

int UsageFailure(const std::string& message, const std::string& helpCommand) {
    axlewise::Complain(message);
    std::fprintf(stderr, "Try 'axlewise-cli %s--help'.\n", helpCommand.c_str());
    return Exit(ExitStatus::Failed);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kProgramHelp, stderr);
        return Exit(ExitStatus::Failed);
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        std::fputs(kProgramHelp, stdout);
        return Exit(ExitStatus::Ok);
    }
    const std::optional<Command> command = axlewise::CommandNamed(first);
    if (!command) {
        return UsageFailure("unknown command '" + first + "'", "");
    }
    const std::vector<std::string> words(argv + 2, argv + argc);
    axlewise::Arguments arguments;
    try {
        arguments = axlewise::ParseArguments(*command, words);
    } catch (const axlewise::UsageError& error) {
        return UsageFailure(first + ": " + error.what(), first + " ");
    }
    if (arguments.help) {
        std::fputs(HelpOf(*command), stdout);
        return Exit(ExitStatus::Ok);
    }
    switch (*command) {
        case Command::Check:
            return Exit(axlewise::RunCheck(arguments));
        case Command::Csv:
            return Exit(axlewise::RunCsv(arguments));
        case Command::Render:
            return Exit(axlewise::RunRender(arguments, argc, argv));
    }
    return Exit(ExitStatus::Failed);
}
