// qzview-show: checks a show directory for the files its show script needs, and dumps
// and loads the script SCR1.BIL as text.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace show_tool {

constexpr int STATUS_DONE = 0;
// check: a needed file is missing or does not load; dump: the output could not be
// written; load: the text is unreadable or wrong, or the show file could not be saved.
constexpr int STATUS_FAILED = 1;
// A wrong command line, and for check and dump a show file that cannot be read.
constexpr int STATUS_USAGE_OR_UNREADABLE = 2;

// The arguments after the program's name; gives the exit status. Enters the show's
// directory while it works and returns to the caller's afterwards.
int run_show_tool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace show_tool
