// qzview.exe: the Windows entry point hands the module and show mode to the program.
#include "app/program.h"
#include "platform/win32/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    // At the system's default timer resolution every Sleep(1) lasts a whole tick of
    // about 15.6 ms, which would stretch the transition's 64 one-millisecond pauses to a
    // second. The finer period is held for the whole run: program_main returns for a
    // quit, a destroyed window and a failed start alike, so the period always ends here.
    const bool fine_timer = timeBeginPeriod(1) == TIMERR_NOERROR;
    const int status = program_exit_status(program_main(instance, show_command));
    if (fine_timer) timeEndPeriod(1);
    return status;
}
