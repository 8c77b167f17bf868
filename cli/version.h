// The version every qzview program reports.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// "qzview X.Y.Z", the project's version: the line each program prints for --version.
std::string version_line();

// When the whole command line (the arguments after the program's name) is "--version",
// prints the version line on `out` and returns true.
bool answered_version(const std::vector<std::string>& arguments, std::ostream& out);

}  // namespace cli
