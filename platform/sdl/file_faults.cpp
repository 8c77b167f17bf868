// The file layer's hook for failures on demand: on the desktop files fail only for real.
#include "platform/common/file_faults.h"

bool file_operation_should_fail(const char*) {
    return false;
}
