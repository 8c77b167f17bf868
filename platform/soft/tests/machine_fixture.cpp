#include "platform/soft/tests/machine_fixture.h"

namespace {

MachineTest* current_test = nullptr;

intptr_t recording_procedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                             intptr_t lparam) {
    if (current_test != nullptr)
        current_test->received.push_back({window, message, wparam, lparam});
    return default_window_procedure(window, message, wparam, lparam);
}

}  // namespace

void MachineTest::SetUp() {
    reset_device();
    current_test = this;
}

void MachineTest::TearDown() {
    if (mouse != nullptr) mouse_release(mouse);
    if (input != nullptr) input_release(input);
    if (event != nullptr) event_close(event);
    if (sheet != nullptr) surface_release(sheet);
    if (front != nullptr) surface_release(front);
    if (device != nullptr) display_release(device);
    current_test = nullptr;
    reset_device();
}

void MachineTest::open_window() {
    window_register_class(nullptr, "QZ", "QZ", recording_procedure);
    window =
        window_create_topmost_popup(nullptr, "QZ", "QZVIEW", 0, 0, screen_width(), screen_height());
    ASSERT_NE(window, nullptr);
}

void MachineTest::open_display(int bits) {
    if (window == nullptr) open_window();
    window_show(window, 1);
    ASSERT_EQ(display_create(&device), RESULT_OK);
    ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
    ASSERT_EQ(display_set_mode(device, 1024, 768, bits), RESULT_OK);
    ASSERT_EQ(display_create_primary(device, &front), RESULT_OK);
    ASSERT_EQ(display_get_back_buffer(front, &back), RESULT_OK);
    ASSERT_EQ(display_create_offscreen(device, 1024, 768, &sheet), RESULT_OK);
    ASSERT_EQ(surface_set_black_color_key(sheet), RESULT_OK);
}

void MachineTest::open_mouse() {
    if (window == nullptr) open_window();
    window_show(window, 1);
    ASSERT_EQ(input_create(nullptr, 0x0500, &input), RESULT_OK);
    ASSERT_EQ(input_create_system_mouse(input, &mouse), RESULT_OK);
    ASSERT_EQ(mouse_set_standard_format(mouse), RESULT_OK);
    ASSERT_EQ(mouse_set_exclusive_foreground(mouse, window), RESULT_OK);
    event = event_create();
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(mouse_set_event_notification(mouse, event), RESULT_OK);
    ASSERT_EQ(mouse_set_buffer_size(mouse, 16), RESULT_OK);
    ASSERT_EQ(mouse_acquire(mouse), RESULT_OK);
}

std::vector<TakenRecord> MachineTest::take_records() {
    std::vector<TakenRecord> records;
    TakenRecord r{};
    while (mouse_take_event(mouse, &r.offset, &r.data) == MOUSE_TOOK_EVENT)
        records.push_back(r);
    return records;
}

std::vector<WindowMessage> MachineTest::take_messages() {
    std::vector<WindowMessage> messages;
    WindowMessage m{};
    while (peek_message(&m) != 0)
        messages.push_back(m);
    return messages;
}
