#include "tools/show/options.h"

#include <algorithm>
#include <charconv>

namespace show_tool {

namespace {

bool is_help(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

bool looks_like_option(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

}  // namespace

bool parse_command_line(const std::vector<std::string>& arguments,
                        const std::vector<std::string>& option_names, CommandLine* line,
                        std::string* error) {
    bool only_operands = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (only_operands || !looks_like_option(argument)) {
            line->operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            only_operands = true;
            continue;
        }
        if (is_help(argument)) {
            line->help = true;
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (std::find(option_names.begin(), option_names.end(), name) == option_names.end()) {
            *error = "unknown option '" + name + "'";
            return false;
        }
        if (line->values.count(name) != 0) {
            *error = "option '" + name + "' given twice";
            return false;
        }
        if (equals != std::string::npos) {
            line->values[name] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            line->values[name] = arguments[++i];
        } else {
            *error = "option '" + name + "' needs a value";
            return false;
        }
    }
    return true;
}

bool parse_whole_number(const std::string& text, int64_t lowest, int64_t highest, int64_t* value) {
    int64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, problem] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || problem != std::errc() || stop != end) return false;
    if (parsed < lowest || parsed > highest) return false;
    *value = parsed;
    return true;
}

bool number_option(const CommandLine& line, const std::string& name, int64_t lowest,
                   int64_t highest, int64_t* value, std::string* error) {
    const auto found = line.values.find(name);
    if (found == line.values.end()) return true;
    if (parse_whole_number(found->second, lowest, highest, value)) return true;
    *error = name + " takes a whole number from " + std::to_string(lowest) + " to " +
             std::to_string(highest) + ", not '" + found->second + "'";
    return false;
}

}  // namespace show_tool
