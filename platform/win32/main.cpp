// qzview.exe: the Windows entry point hands the module and show mode to the program.
#include "app/program.h"
#include "platform/win32/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    return program_exit_status(program_main(instance, show_command));
}
