#pragma once

#include "cli/Arguments.h"

namespace axlewise {

// Exit statuses of every command.
enum class ExitStatus : int {
    Ok = 0,          // every line read (and, for render, the picture written)
    Unreadable = 1,  // at least one line was not a truck
    Failed = 2,      // a usage error, or a file that could not be read or written
};

// The commands, each given its parsed arguments. Messages go to standard
// error as "axlewise-cli: FILE: reason" or "FILE:LINE: reason".
ExitStatus RunCheck(const Arguments& arguments);
ExitStatus RunCsv(const Arguments& arguments);
// render needs the program's argc and argv for the Qt application it starts.
ExitStatus RunRender(const Arguments& arguments, int& argc, char** argv);

// Writes "axlewise-cli: " and the message, and a line break, to standard error.
void Complain(const std::string& message);

}  // namespace axlewise
