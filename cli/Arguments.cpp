#include "cli/Arguments.h"

#include "loading/TruckFile.h"
#include "records/RuntimeError.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace axlewise {

namespace {

// Pictures larger than this many times the window's would only waste memory.
constexpr double kLargestScale = 8.0;

TruckIndex TruckNumber(const std::string& text) {
    TruckIndex value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 1) {
        throw UsageError("--truck: \"" + text + "\" is not a truck number (1, 2, ...)");
    }
    return value;
}

double Scale(const std::string& text) {
    double value = 0;
    const char* const end = text.data() + text.size();
    // from_chars never looks at the locale: "1.5" is read the same everywhere.
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) ||
        value <= 0 || value > kLargestScale) {
        throw UsageError("--scale: \"" + text + "\" is not a pixel ratio above 0 and at most 8");
    }
    return value;
}

bool Accepts(Command command, std::string_view option) {
    if (option == "--ignore" || option == "--help") {
        return true;
    }
    if (option == "-o" || option == "--output") {
        return command != Command::Check;
    }
    if (option == "--truck" || option == "--scale") {
        return command == Command::Render;
    }
    return false;
}

}  // namespace

std::optional<Command> CommandNamed(const std::string& word) {
    if (word == "check") {
        return Command::Check;
    }
    if (word == "csv") {
        return Command::Csv;
    }
    if (word == "render") {
        return Command::Render;
    }
    return std::nullopt;
}

Arguments ParseArguments(Command command, const std::vector<std::string>& words) {
    Arguments arguments;
    arguments.command = command;
    bool truckGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        // A lone "-" is a file name like any other.
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            arguments.files.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = word;
        std::optional<std::string> value;
        if (const std::size_t equals = word.find('=');
            word.starts_with("--") && equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
        }
        if (name == "-h") {
            name = "--help";
        }
        if (!Accepts(command, name)) {
            throw UsageError("unknown option " + name);
        }
        if (name == "--help") {
            arguments.help = true;
            continue;
        }
        if (!value) {
            if (i + 1 == words.size()) {
                throw UsageError(name + " needs a value");
            }
            value = words[++i];
        }
        if (name == "--ignore") {
            try {
                arguments.ignore = IgnoreCount(*value);
            } catch (const RuntimeError&) {
                throw UsageError("--ignore: " + Quoted(*value) + " is not a number");
            }
        } else if (name == "-o" || name == "--output") {
            if (value->empty()) {
                throw UsageError(name + " needs a file name");
            }
            arguments.output = *value;
        } else if (name == "--truck") {
            arguments.truck = TruckNumber(*value);
            truckGiven = true;
        } else if (name == "--scale") {
            arguments.scale = Scale(*value);
        }
    }
    if (arguments.help) {
        return arguments;
    }
    if (arguments.files.empty()) {
        throw UsageError("no FILE given");
    }
    if (command == Command::Render) {
        if (arguments.files.size() > 1) {
            throw UsageError("render draws from one FILE, not " +
                             std::to_string(arguments.files.size()));
        }
        if (!truckGiven) {
            throw UsageError("render needs --truck N");
        }
        if (!arguments.output) {
            throw UsageError("render needs -o OUT.png");
        }
    }
    return arguments;
}

}  // namespace axlewise
