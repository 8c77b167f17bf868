// Any bytes as SCR1.BIL: loading must stay inside the table, and the table must
// stay usable by the editor's operations afterwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/program.h"
#include "show/picture_table.h"
#include "show/show_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reset_global_state();
    init_picture_table();
    decode_show_file(data, size);
    if (picture_table.picture_count < 1 || picture_table.picture_count > 499) std::abort();
    // Walk the editor's slot operations over whatever the file described.
    picture_table.current_picture = size > 0 ? data[0] % 501 : 1;
    insert_picture_slot();
    delete_picture_slot();
    picture_table.current_picture = picture_table.picture_count;
    delete_picture_slot();
    if (picture_table.picture_count < 1 || picture_table.picture_count > 499) std::abort();
    uint8_t image[SHOW_FILE_SIZE];
    encode_show_file(image);
    return 0;
}
