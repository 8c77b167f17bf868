#include "app/program.h"

#include <cstdio>

int program_main(InstanceHandle, int) {
    std::fputs("qzview: the show is not built yet\n", stderr);
    return 0;
}

int program_exit_status(int program_result) { return program_result == 0 ? 1 : 0; }

const char* program_startup_failure_text() { return nullptr; }
