// qzview-show: checks a show directory for the files its show script needs, dumps and
// loads the script SCR1.BIL as text, and authors a show: a new show's frame, pictures
// added from image files, and a contact sheet of the whole show.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/show/tool_support.h"

namespace show_tool {

// The arguments after the program's name; gives the exit status. Enters the show's
// directory while it works and returns to the caller's afterwards.
int run_show_tool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace show_tool
