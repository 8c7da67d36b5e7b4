#include "cli/Arguments.h"

#include "loading/TruckFile.h"
#include "records/RuntimeError.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>

namespace axlewise {

namespace {

constexpr const char* kProgram = "axlewise-cli";

constexpr const char* kAbout =
    "Checks, tables, pictures and reports of weigh-in-motion truck files, read\n"
    "as the Axlewise window reads them, without a window.";

constexpr const char* kExitStatus =
    "Exit status: 0 every line was read, 1 a line could not be read as a truck,\n"
    "2 a usage error or a file that could not be read or written.";

// A picture smaller than a quarter of the window's has no legible text, and
// one larger than eight times would only waste memory.
constexpr double kSmallestScale = 0.25;
constexpr double kLargestScale = 8.0;
constexpr const char* kScaleRange = "from 0.25 to 8";

[[noreturn]] void Invalid(const std::string& option, const std::string& text,
                          const std::string& what) {
    throw CLI::ValidationError(option, Quoted(text) + " is not " + what);
}

TruckIndex IgnoreValue(const std::string& text) {
    try {
        return IgnoreCount(text);
    } catch (const RuntimeError&) {
        Invalid("--ignore", text, "a number");
    }
}

TruckIndex TruckValue(const std::string& text) {
    TruckIndex value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 1) {
        Invalid("--truck", text, "a truck number (1, 2, ...)");
    }
    return value;
}

double ScaleValue(const std::string& text) {
    double value = 0;
    const char* const end = text.data() + text.size();
    // from_chars never looks at the locale: "1.5" is read the same everywhere.
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) ||
        value < kSmallestScale || value > kLargestScale) {
        Invalid("--scale", text, std::string("a pixel ratio ") + kScaleRange);
    }
    return value;
}

// The options, each declared once here with its help; a command takes the
// ones it needs.

CLI::Option* AddFiles(CLI::App& command, Arguments& arguments, const char* help) {
    return command.add_option("FILE", arguments.files, help)->required()->type_name("");
}

void AddIgnore(CLI::App& command, Arguments& arguments) {
    command
        .add_option_function<std::string>(
            "--ignore",
            [&arguments](const std::string& text) { arguments.ignore = IgnoreValue(text); },
            "skip the first N lines of each file (head\n"
            "lines) as the window's \"No of lines to ignore\"\n"
            "box does: empty is 0, a fraction is cut off")
        ->type_name("N");
}

CLI::Option* AddOutput(CLI::App& command, Arguments& arguments, const char* help) {
    return command
        .add_option_function<std::string>(
            "-o,--output",
            [&arguments](const std::string& text) {
                if (text.empty()) {
                    throw CLI::ValidationError("--output", "needs a file name");
                }
                arguments.output = text;
            },
            help)
        ->type_name("OUT");
}

void AddTruck(CLI::App& command, Arguments& arguments) {
    command
        .add_option_function<std::string>(
            "--truck",
            [&arguments](const std::string& text) { arguments.truck = TruckValue(text); },
            "the truck to draw: 1 for the first read from FILE")
        ->type_name("N")
        ->required();
}

void AddScale(CLI::App& command, Arguments& arguments) {
    command
        .add_option_function<std::string>(
            "--scale",
            [&arguments](const std::string& text) { arguments.scale = ScaleValue(text); },
            std::string("pixel ratio, ") + kScaleRange)
        ->type_name("S")
        ->default_str("1");
}

// A command's help: what it does in one line (also the program's list of
// commands), usage, files and options, then the longer story and the exit
// statuses.
void Explain(CLI::App& command, const char* story) {
    command.set_help_flag("-h,--help", "print this help and exit");
    command.group("Commands");
    command.footer(std::string(story) + "\n\n" + kExitStatus);
}

// CLI11's layout with an empty line under the description and a narrower
// first column, so that help fits 80 columns.
class HelpLayout : public CLI::Formatter {
public:
    HelpLayout() {
        column_width(26);
        label("SUBCOMMAND", "COMMAND");
        label("Positionals", "Files");
    }
    std::string make_description(const CLI::App* app) const override {
        return CLI::Formatter::make_description(app) + "\n";
    }
};

// CLI11 repeats words of the command line in its messages; a control character
// among them must not reach the terminal as such.
std::string Visible(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            const std::string escape = Quoted(std::string_view(&c, 1));
            out += escape.substr(1, escape.size() - 2);
        } else {
            out += c;
        }
    }
    return out;
}

CommandLine UsageError(const std::string& message, const std::string& command) {
    CommandLine line;
    line.status = ExitStatus::Failed;
    line.text = std::string(kProgram) + ": " + Visible(message) + "\nTry '" + kProgram + " " +
                command + (command.empty() ? "" : " ") + "--help'.\n";
    return line;
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& words) {
    Arguments arguments;
    CLI::App program(kAbout, kProgram);
    program.formatter(std::make_shared<HelpLayout>());
    program.footer(kExitStatus);
    program.require_subcommand(1);
    program.set_help_flag("-h,--help", "print this help and exit");

    CLI::App& check =
        *program.add_subcommand("check", "what each file holds, and its trucks that fail checks");
    CLI::Option* checkFiles = AddFiles(check, arguments, "the truck files to check");
    AddIgnore(check, arguments);
    Explain(check,
            "Reads every line of each FILE, going on past lines that are not trucks, and\n"
            "prints per file: lines read, trucks, every unreadable line as\n"
            "FILE:LINE: reason (the first 20, then how many more), how many trucks fail\n"
            "each check with their share and the first three truck numbers, the first\n"
            "and last time of passage, trucks per lane and direction, and GVW's minimum,\n"
            "10th, 50th and 90th percentiles and maximum. Trucks are numbered 1, 2, ...\n"
            "in the order read. Checks: AXLE_SUM AXLE_COUNT AXLE_EMPTY AXLE_EXTRA\n"
            "WHEELBASE FIELD_MAX CLOCK SPEED DUPLICATE ORDER (see the README).");

    CLI::App& csv =
        *program.add_subcommand("csv", "one CSV row per truck: fields, time, failed checks");
    CLI::Option* csvFiles = AddFiles(csv, arguments, "the truck files, read in turn");
    AddIgnore(csv, arguments);
    AddOutput(csv, arguments,
              "write to OUT instead of standard output; a file\n"
              "is replaced only once the table is complete");
    Explain(csv,
            "Writes one CSV row per truck of every FILE (RFC 4180, UTF-8, CRLF row\n"
            "ends), a header row first: file, line, the 32 fields under their captions,\n"
            "Time (s) as the window shows it, and checks, the codes of the failed checks\n"
            "separated by blanks. Lines that are not trucks are reported on standard\n"
            "error as FILE:LINE: reason. Nothing is written when a FILE cannot be read.");

    CLI::App& render =
        *program.add_subcommand("render", "the axle diagram of one truck as a PNG picture");
    CLI::Option* renderFile = AddFiles(render, arguments, "the truck file")->expected(1);
    AddIgnore(render, arguments);
    AddTruck(render, arguments);
    AddOutput(render, arguments, "the PNG picture to write")->required();
    AddScale(render, arguments);
    Explain(render,
            "Draws the axle diagram of truck N exactly as the window's picture box shows\n"
            "it, 431 x 127 pixels times S, and writes it as a PNG. A truck with fewer\n"
            "than two axles has no diagram: the picture is left blank and standard error\n"
            "says so. Runs without a display (on Qt's offscreen platform unless\n"
            "QT_QPA_PLATFORM is set). Exit status 2 also when FILE holds no truck N.");

    CLI::App& report =
        *program.add_subcommand("report", "one HTML page of the files' figures and charts");
    CLI::Option* reportFiles = AddFiles(report, arguments, "the truck files to report on");
    AddIgnore(report, arguments);
    AddOutput(report, arguments,
              "the HTML page to write; a file is replaced\n"
              "only once the page is complete")
        ->required();
    Explain(report,
            "Writes one self-contained HTML page (no outside style sheet, script, font\n"
            "or picture) over all FILEs: per file the figures that check prints, as\n"
            "tables, then the charts of the Summary window over all trucks of all\n"
            "files, drawn inline as SVG. Values are in the file's own units, under the\n"
            "field captions. Every FILE is looked at before OUT is touched: a missing\n"
            "one leaves OUT as it was. Runs without a display (on Qt's offscreen\n"
            "platform unless QT_QPA_PLATFORM is set).");

    if (words.empty()) {
        return {std::nullopt, program.help(), ExitStatus::Failed};
    }
    const std::string& name = words.front();
    if (name == "help") {
        return {std::nullopt, program.help(), ExitStatus::Ok};
    }
    if (!name.starts_with('-') &&
        program
            .get_subcommands([&name](const CLI::App* command) { return command->check_name(name); })
            .empty()) {
        return UsageError("unknown command " + Quoted(name), "");
    }
    const std::string command = name.starts_with('-') ? "" : name;

    // CLI11 ends a command's options at "--" only while its FILE is still
    // missing; after a FILE it hands the rest back to the program, where it
    // cannot be placed. Words after "--" are files whatever stands before, so
    // they are taken here and CLI11 reads only what precedes them.
    const auto mark = std::find(words.begin() + 1, words.end(), std::string("--"));
    std::vector<std::string> afterMark;
    if (mark != words.end()) {
        afterMark.assign(mark + 1, words.end());
    }
    for (CLI::Option* files : {checkFiles, csvFiles, renderFile, reportFiles}) {
        files->required(afterMark.empty());
    }
    // CLI11 takes the words last first. It reads "--name=" as a name without
    // its value and takes the next word instead; given apart, the empty value
    // is read as empty (--ignore= is 0 lines, as the window's empty box).
    std::vector<std::string> reversed;
    for (auto word = std::make_reverse_iterator(mark); word != words.rend(); ++word) {
        if (word->starts_with("--") && word->size() > 2 && word->find('=') == word->size() - 1) {
            reversed.emplace_back();
            reversed.push_back(word->substr(0, word->size() - 1));
        } else {
            reversed.push_back(*word);
        }
    }
    try {
        program.parse(reversed);
        arguments.files.insert(arguments.files.end(), afterMark.begin(), afterMark.end());
        if (render.parsed() && arguments.files.size() > 1) {
            throw CLI::ExtrasError(
                std::vector<std::string>(arguments.files.begin() + 1, arguments.files.end()));
        }
        if (arguments.files.empty()) {
            throw CLI::RequiredError("FILE");
        }
    } catch (const CLI::CallForHelp&) {
        return {std::nullopt, program.help(), ExitStatus::Ok};
    } catch (const CLI::ParseError& error) {
        return UsageError(command.empty() ? error.what() : command + ": " + error.what(), command);
    }

    arguments.command = check.parsed()    ? Command::Check
                        : csv.parsed()    ? Command::Csv
                        : report.parsed() ? Command::Report
                                          : Command::Render;
    return {arguments, std::string(), ExitStatus::Ok};
}

}  // namespace axlewise
