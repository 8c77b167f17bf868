// The software platform's own tests run on the scripted device.
#include "platform/headless/headless.h"
#include "platform/soft/tests/machine_fixture.h"

void reset_device() {
    headless_reset();
}
