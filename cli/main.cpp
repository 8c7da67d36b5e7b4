// axlewise-cli: checks, CSV, pictures and reports of truck files, without a
// window.
// `axlewise-cli --help` and `axlewise-cli COMMAND --help` tell how to use it.

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/SafeOutput.h"
#include "records/RuntimeError.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using axlewise::ExitStatus;

int Exit(ExitStatus status) {
    return static_cast<int>(status);
}

// Help goes to standard output, checked like any output.
ExitStatus PrintHelp(const std::string& text) {
    try {
        axlewise::SafeOutput out(std::nullopt, {});
        out.write(text);
        out.commit();
    } catch (const axlewise::RuntimeError& error) {
        axlewise::Complain("standard output: " + error.reason());
        return ExitStatus::Failed;
    }
    return ExitStatus::Ok;
}

}  // namespace

int main(int argc, char** argv) {
    axlewise::HoldStandardStreams();
    const axlewise::CommandLine line =
        axlewise::ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.run) {
        if (line.status == ExitStatus::Ok) {
            return Exit(PrintHelp(line.text));
        }
        std::fwrite(line.text.data(), 1, line.text.size(), stderr);
        return Exit(line.status);
    }
    const axlewise::Arguments& arguments = *line.run;
    switch (arguments.command) {
        case axlewise::Command::Check:
            return Exit(axlewise::RunCheck(arguments));
        case axlewise::Command::Csv:
            return Exit(axlewise::RunCsv(arguments));
        case axlewise::Command::Render:
            return Exit(axlewise::RunRender(arguments, argc, argv));
        case axlewise::Command::Report:
            return Exit(axlewise::RunReport(arguments, argc, argv));
    }
    return Exit(ExitStatus::Failed);
}
