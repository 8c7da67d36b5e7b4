#pragma once

#include "records/BrowserState.h"

#include <optional>
#include <string>
#include <vector>

namespace axlewise {

enum class Command { Check, Csv, Render, Report };

// Exit statuses of every command.
enum class ExitStatus : int {
    Ok = 0,          // every line read (and, for render and report, the output written)
    Unreadable = 1,  // at least one line was not a truck
    Failed = 2,      // a usage error, or a file that could not be read or written
};

// What a command line asks a command to do.
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
};

// A command line read: either a command to run, or a text to print and a
// status to exit with.
struct CommandLine {
    std::optional<Arguments> run;
    // Help (for standard output, status Ok) or a usage error with a hint where
    // to find help (for standard error, status Failed); ends in a line break.
    std::string text;
    ExitStatus status = ExitStatus::Ok;
};

// Reads the words that follow the program's name:
//   COMMAND [OPTIONS] FILE...     with COMMAND check, csv, render or report.
// Every option is declared once, with its help text, and `--help` (anywhere)
// shows the generated help of the program or of the command. Options may stand
// anywhere among the files, as "--name VALUE" or "--name=VALUE"; "--" ends the
// options. --ignore N is read as the window's "No of lines to ignore" box reads
// it; --truck is a whole number from 1; --scale a number from 0.25 to 8. A
// missing, unknown or malformed option, or a wrong number of files, is a usage
// error; no words at all give the program's help as one.
CommandLine ReadCommandLine(const std::vector<std::string>& words);

}  // namespace axlewise
