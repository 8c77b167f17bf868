#include "cli/version.h"

namespace cli {

// QZVIEW_VERSION comes from the build, which takes it from the project's version.
std::string version_line() {
    return std::string("qzview ") + QZVIEW_VERSION;
}

bool answered_version(const std::vector<std::string>& arguments, std::ostream& out) {
    if (arguments.size() != 1 || arguments[0] != "--version") return false;
    out << version_line() << '\n';
    return true;
}

}  // namespace cli
