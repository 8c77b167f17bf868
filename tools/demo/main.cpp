// qzview-demo DIR: writes a complete demo show (graphics, screenshots, boxes, sounds
// and show script) into DIR, ready for the program to run there.
#include <cstdio>
#include <string>

#include "tools/demo/demo_show.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qzview-demo DIR\n");
        return 2;
    }
    std::string error;
    if (!demo::write_demo_show(argv[1], &error)) {
        std::fprintf(stderr, "qzview-demo: %s\n", error.c_str());
        return 1;
    }
    std::printf("qzview-demo: demo show written to %s\n", argv[1]);
    return 0;
}
