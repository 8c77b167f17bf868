// The buffered system mouse on DirectInput 0x0500, and the event object it signals.
#include "platform/mouse.h"

#include "platform/win32/win32.h"

int32_t input_create(InstanceHandle instance, uint32_t version, InputObject* input) {
    IDirectInputA* created = nullptr;
    const HRESULT result =
        DirectInputCreateA(instance_or_own_module(instance), version, &created, nullptr);
    *input = SUCCEEDED(result) ? as_input(created) : nullptr;
    return result;
}

int32_t input_create_system_mouse(InputObject input, MouseDevice* mouse) {
    IDirectInputDeviceA* created = nullptr;
    const HRESULT result = as_dinput(input)->CreateDevice(GUID_SysMouse, &created, nullptr);
    *mouse = SUCCEEDED(result) ? as_mouse(created) : nullptr;
    return result;
}

int32_t mouse_set_standard_format(MouseDevice mouse) {
    return as_didevice(mouse)->SetDataFormat(&c_dfDIMouse);
}

int32_t mouse_set_exclusive_foreground(MouseDevice mouse, WindowHandle window) {
    return as_didevice(mouse)->SetCooperativeLevel(as_hwnd(window),
                                                   DISCL_EXCLUSIVE | DISCL_FOREGROUND);
}

int32_t mouse_set_event_notification(MouseDevice mouse, EventHandle event) {
    return as_didevice(mouse)->SetEventNotification(as_handle(event));
}

int32_t mouse_set_buffer_size(MouseDevice mouse, uint32_t events) {
    DIPROPDWORD property = {};
    property.diph.dwSize = sizeof(DIPROPDWORD);
    property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    property.diph.dwObj = 0;
    property.diph.dwHow = DIPH_DEVICE;
    property.dwData = events;
    return as_didevice(mouse)->SetProperty(DIPROP_BUFFERSIZE, &property.diph);
}

int32_t mouse_acquire(MouseDevice mouse) {
    return as_didevice(mouse)->Acquire();
}

int32_t mouse_unacquire(MouseDevice mouse) {
    return as_didevice(mouse)->Unacquire();
}

int mouse_take_event(MouseDevice mouse, uint32_t* offset, uint32_t* data) {
    DIDEVICEOBJECTDATA event = {};
    DWORD count = 1;
    const HRESULT result =
        as_didevice(mouse)->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), &event, &count, 0);
    if (result == DIERR_INPUTLOST) return MOUSE_INPUT_LOST;
    if (FAILED(result)) return MOUSE_READ_FAILED;
    if (count == 0) return MOUSE_BUFFER_EMPTY;
    *offset = event.dwOfs;
    *data = event.dwData;
    return MOUSE_TOOK_EVENT;
}

void mouse_release(MouseDevice mouse) {
    as_didevice(mouse)->Release();
}

void input_release(InputObject input) {
    as_dinput(input)->Release();
}

EventHandle event_create() {
    return as_event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

void event_close(EventHandle event) {
    CloseHandle(as_handle(event));
}
