// The window, the thread's message queue and the system odds and ends, on USER32 and
// KERNEL32.
#include "platform/window.h"

#include "platform/win32/win32.h"

namespace {

// The program's window procedure has the seam's signature, not WNDPROC's, so every
// registered class gets the same Windows procedure, which finds the program's one by
// the window's class atom.
struct ClassProcedure {
    ATOM atom;
    WindowProcedure procedure;
};
constexpr int MAX_CLASSES = 8;
ClassProcedure class_procedures[MAX_CLASSES];
int class_count = 0;

WindowProcedure procedure_of_class(ATOM atom) {
    for (int i = 0; i < class_count; ++i)
        if (class_procedures[i].atom == atom) return class_procedures[i].procedure;
    return nullptr;
}

void remember_class_procedure(ATOM atom, WindowProcedure procedure) {
    if (atom == 0) return;
    for (int i = 0; i < class_count; ++i) {
        if (class_procedures[i].atom == atom) {
            class_procedures[i].procedure = procedure;
            return;
        }
    }
    if (class_count < MAX_CLASSES) class_procedures[class_count++] = {atom, procedure};
}

LRESULT CALLBACK route_to_program(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const auto atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
    const WindowProcedure procedure = procedure_of_class(atom);
    if (procedure == nullptr) return DefWindowProcA(window, message, wparam, lparam);
    return procedure(as_window(window), message, wparam, lparam);
}

// WindowMessage leaves out the time and cursor position of MSG. The message just taken
// from the queue is kept whole, so that translating and dispatching it hand Windows
// exactly what the queue held.
MSG last_taken_message = {};

MSG to_msg(const WindowMessage* message) {
    const MSG& last = last_taken_message;
    if (as_window(last.hwnd) == message->window && last.message == message->message &&
        last.wParam == message->wparam && last.lParam == message->lparam)
        return last;
    MSG built = {};
    built.hwnd = as_hwnd(message->window);
    built.message = message->message;
    built.wParam = message->wparam;
    built.lParam = message->lparam;
    built.time = static_cast<DWORD>(GetMessageTime());
    return built;
}

}  // namespace

void window_register_class(InstanceHandle instance, const char* class_name, const char* menu_name,
                           WindowProcedure procedure) {
    const HINSTANCE module = instance_or_own_module(instance);
    WNDCLASSA window_class = {};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = route_to_program;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = module;
    // The program's one icon is the group "DESK1"; 32512 names no resource of it, so the
    // class itself gets no icon (the program file still shows DESK1).
    window_class.hIcon = LoadIconA(module, MAKEINTRESOURCEA(32512));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = nullptr;
    window_class.lpszMenuName = menu_name;
    window_class.lpszClassName = class_name;
    remember_class_procedure(RegisterClassA(&window_class), procedure);
}

WindowHandle window_create_topmost_popup(InstanceHandle instance, const char* class_name,
                                         const char* title, int x, int y, int width, int height) {
    return as_window(CreateWindowExA(WS_EX_TOPMOST, class_name, title, WS_POPUP, x, y, width,
                                     height, nullptr, nullptr, instance_or_own_module(instance),
                                     nullptr));
}

void window_show(WindowHandle window, int show_command) {
    ShowWindow(as_hwnd(window), show_command);
}

void window_update(WindowHandle window) {
    UpdateWindow(as_hwnd(window));
}

void window_destroy(WindowHandle window) {
    DestroyWindow(as_hwnd(window));
}

int screen_width() {
    return GetSystemMetrics(SM_CXSCREEN);
}
int screen_height() {
    return GetSystemMetrics(SM_CYSCREEN);
}

void message_box(WindowHandle owner, const char* text, const char* caption) {
    MessageBoxA(as_hwnd(owner), text, caption, MB_OK);
}

int wait_for_event_or_message_timeout(EventHandle event, uint32_t milliseconds) {
    constexpr int OTHER_OUTCOME = -1;
    if (event == nullptr) {
        // Nothing to wait on but the queue: without this the wait would fail at once
        // and a caller that waits again would spin.
        const DWORD result =
            MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
        if (result == WAIT_TIMEOUT) return WAIT_TIMED_OUT;
        return result == WAIT_OBJECT_0 ? WAIT_MESSAGE_QUEUED : OTHER_OUTCOME;
    }
    HANDLE handle = as_handle(event);
    const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return WAIT_EVENT_SIGNALLED;
    if (result == WAIT_OBJECT_0 + 1) return WAIT_MESSAGE_QUEUED;
    if (result == WAIT_TIMEOUT) return WAIT_TIMED_OUT;
    return OTHER_OUTCOME;
}

int wait_for_event_or_message(EventHandle event) {
    return wait_for_event_or_message_timeout(event, INFINITE);
}

int peek_message(WindowMessage* message) {
    MSG taken = {};
    if (!PeekMessageA(&taken, nullptr, 0, 0, PM_REMOVE)) return 0;
    last_taken_message = taken;
    message->window = as_window(taken.hwnd);
    message->message = taken.message;
    message->wparam = taken.wParam;
    message->lparam = taken.lParam;
    return 1;
}

void translate_message(const WindowMessage* message) {
    const MSG msg = to_msg(message);
    TranslateMessage(&msg);
}

intptr_t dispatch_message(const WindowMessage* message) {
    const MSG msg = to_msg(message);
    return DispatchMessageA(&msg);
}

intptr_t default_window_procedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                                  intptr_t lparam) {
    return DefWindowProcA(as_hwnd(window), message, wparam, lparam);
}

void post_quit_message(int exit_code) {
    PostQuitMessage(exit_code);
}

int post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    return PostMessageA(as_hwnd(window), message, wparam, lparam) ? 1 : 0;
}

void debug_output(const char* text) {
    OutputDebugStringA(text);
}

void pause_milliseconds(int milliseconds) {
    if (milliseconds >= 0) Sleep(static_cast<DWORD>(milliseconds));
}
