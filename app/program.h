// The program's entry, called by each platform's own entry point, and the main loop.
#pragma once

#include <cstdint>

#include "platform/types.h"

// What the command line may add to the show; none of it by default.
struct ShowOptions {
    bool keys = false;     // the show's keys and the wheel work the show
    int32_t delay_ms = 0;  // the show moves on by itself after this long without input
};

// Runs the show until the user quits or the window is destroyed. Returns 0 when the
// display cannot be started, otherwise the quit request's exit code.
int program_main(InstanceHandle instance, int show_command, ShowOptions options = {});

// The exit status the process should end with after program_main: non-zero when the
// display could not be started, so a failed start never looks like success.
int program_exit_status(int program_result);

// The start-up failure in words (Windows-1252), or nullptr when start-up succeeded.
const char* program_startup_failure_text();

// Puts every record back to its start values (a new run, or a test's clean slate).
void reset_global_state();
