#pragma once

#include "cli/Arguments.h"

#include <string>

namespace axlewise {

// The commands, each given its parsed arguments. Messages go to standard
// error as "axlewise-cli: FILE: reason" or "FILE:LINE: reason"; every output
// is written through SafeOutput.
ExitStatus RunCheck(const Arguments& arguments);
ExitStatus RunCsv(const Arguments& arguments);
// render needs the program's argc and argv for the Qt application it starts.
ExitStatus RunRender(const Arguments& arguments, int& argc, char** argv);

// Writes "axlewise-cli: " and the message, and a line break, to standard error.
void Complain(const std::string& message);

}  // namespace axlewise
