#include "app/state.h"

GlobalState state;

void reset_global_state() {
    state = GlobalState{};
}
