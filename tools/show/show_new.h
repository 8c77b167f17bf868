// qzview-show new: the frame every show needs before its first screenshot: the
// graphics sheet, the title picture, the click sounds and the background loop.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace show_tool {

extern const char* const new_help;

// The arguments after "new"; gives the exit status.
int run_new(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace show_tool
