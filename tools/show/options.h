// The command lines of the commands that take options: "--at 3" or "--at=3", options
// and operands in any order, "--" before operands that begin with a dash.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace show_tool {

struct CommandLine {
    std::map<std::string, std::string> values;  // by option name, "--at" or "-o"
    std::vector<std::string> operands;
    bool help = false;  // --help or -h anywhere before "--"
};

// Every option takes one value. false with a message for an unknown option, one given
// twice, or one without its value.
bool parse_command_line(const std::vector<std::string>& arguments,
                        const std::vector<std::string>& option_names, CommandLine* line,
                        std::string* error);

// The option's value as a whole decimal number in lowest..highest; *value is left as it
// is when the option was not given. false with a message naming the option.
bool number_option(const CommandLine& line, const std::string& name, int64_t lowest,
                   int64_t highest, int64_t* value, std::string* error);

// The option's value as a colour: a name of the HTML colours (black, white, gray or
// grey, silver, red, maroon, lime, green, blue, navy, yellow, olive, cyan or aqua, teal,
// magenta or fuchsia, purple; any letter case) or #RRGGBB; as 0xRRGGBB in *colour, left
// as it is when the option was not given. false with a message naming the option.
bool colour_option(const CommandLine& line, const std::string& name, uint32_t* colour,
                   std::string* error);

// The operand as such a number, for the messages of one that is not.
bool parse_whole_number(const std::string& text, int64_t lowest, int64_t highest, int64_t* value);

}  // namespace show_tool
