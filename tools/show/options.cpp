#include "tools/show/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace show_tool {

namespace {

bool is_help(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

bool looks_like_option(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

const std::pair<const char*, uint32_t> colour_names[] = {
    {"black", 0x000000},   {"white", 0xFFFFFF},   {"gray", 0x808080},   {"grey", 0x808080},
    {"silver", 0xC0C0C0},  {"red", 0xFF0000},     {"maroon", 0x800000}, {"lime", 0x00FF00},
    {"green", 0x008000},   {"blue", 0x0000FF},    {"navy", 0x000080},   {"yellow", 0xFFFF00},
    {"olive", 0x808000},   {"cyan", 0x00FFFF},    {"aqua", 0x00FFFF},   {"teal", 0x008080},
    {"magenta", 0xFF00FF}, {"fuchsia", 0xFF00FF}, {"purple", 0x800080}};

bool parse_colour(const std::string& text, uint32_t* colour) {
    if (text.size() == 7 && text[0] == '#') {
        for (size_t i = 1; i < text.size(); ++i)
            if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
        *colour = static_cast<uint32_t>(std::stoul(text.substr(1), nullptr, 16));
        return true;
    }
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [name, value] : colour_names)
        if (lower == name) {
            *colour = value;
            return true;
        }
    return false;
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

bool colour_option(const CommandLine& line, const std::string& name, uint32_t* colour,
                   std::string* error) {
    const auto found = line.values.find(name);
    if (found == line.values.end() || parse_colour(found->second, colour)) return true;
    *error = name + " takes a colour name such as white or gray, or #RRGGBB, not '" +
             found->second + "'";
    return false;
}

}  // namespace show_tool
