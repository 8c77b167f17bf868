// The show script as text: the two counters, a header naming the columns as the show
// file's blocks do, and one row for each of the 500 entries. Dumping a file and
// loading the text gives the file back byte for byte.
#pragma once

#include <ostream>
#include <string>

#include "tools/show/show_image.h"

namespace show_tool {

// "index,pic_file,pic_box1,...": the entry columns in block order.
std::string show_csv_header();

// first_picture,N and picture_count,N, the header, then entries 0..499 in order.
void write_show_csv(const ShowImage& image, std::ostream& out);

// Where a text is wrong: 1-based line and column, the column's name when it has one.
struct CsvError {
    int line = 0;
    int column = 0;
    std::string column_name;
    std::string message;
};
// "line 7, column 3 (pic_box1): ..."
std::string describe_csv_error(const CsvError& error);

// Fills every byte of *image from the text. After an error *image holds only part of it.
// Accepted besides the dump's own form: rows and counter lines in any order (entry
// rows after the header), CR LF line ends, a leading UTF-8 byte order mark, empty
// lines, and spaces around a value.
bool parse_show_csv(const std::string& text, ShowImage* image, CsvError* error);

}  // namespace show_tool
