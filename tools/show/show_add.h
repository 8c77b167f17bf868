// qzview-show add: image files into a show, each as the next free screenshot number
// and a new entry of the show script.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace show_tool {

extern const char* const add_help;

// The arguments after "add"; gives the exit status.
int run_add(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace show_tool
