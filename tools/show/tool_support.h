// What the qzview-show commands share: the show's directory entered while a command
// works, the messages they print, and files written without replacing any.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/show/show_image.h"

namespace show_tool {

constexpr const char* PROGRAM = "qzview-show";

constexpr int STATUS_DONE = 0;
// check: a needed file is missing or does not load; dump: the output could not be
// written; load: the text is unreadable or wrong, or the show file could not be saved;
// add, sheet, new: a file could not be taken in or written.
constexpr int STATUS_FAILED = 1;
// A wrong command line, and for check, dump and sheet a show file that cannot be read.
constexpr int STATUS_USAGE_OR_UNREADABLE = 2;

// Runs a command inside the show's directory, where the program's relative file names
// lead, and goes back to the caller's directory afterwards.
class ShowDirectory {
  public:
    explicit ShowDirectory(const std::string& path);
    ~ShowDirectory();
    ShowDirectory(const ShowDirectory&) = delete;
    ShowDirectory& operator=(const ShowDirectory&) = delete;

    bool entered() const { return entered_ok; }
    const std::string& why_not() const { return reason; }

  private:
    int previous;
    bool entered_ok = false;
    std::string reason;
};

// The show file as the user names it: DIR/SCR1.BIL.
std::string show_file_path(const std::string& directory);
// A file of the show as the user names it: DIR/NAME.
std::string path_in(const std::string& directory, const std::string& name);

// "qzview-show: warning: ..." on err; nothing for an empty warning.
void warn(std::ostream& err, const std::string& warning);
// The message and a hint at the command's help; gives STATUS_USAGE_OR_UNREADABLE.
int usage_error(std::ostream& err, const std::string& command, const std::string& message);

// The end of reading a command line. Prints the help when it was asked for, or the
// error with a hint at the help, and gives false with *status set to the exit status;
// true when the command goes on.
bool command_line_accepted(bool help_asked, const std::string& error, const std::string& command,
                           const char* help, std::ostream& out, std::ostream& err, int* status);

// Puts the image into the state record, where the program's save takes it from; false
// when the table does not take the values as given.
bool put_into_table(const ShowImage& image);

enum class NewFile { written, exists, failed };
enum class Flush { now, later };
// Creates the file in the working directory with these bytes, flushed to disk now or
// left for a later flush_directory; never replaces a file that is there. A failed write
// leaves no file behind.
NewFile write_new_file(const std::string& name, const std::vector<uint8_t>& bytes,
                       std::string* reason, Flush flush = Flush::now);
// Pushes everything written in the working directory's file system down to the disk;
// false with the reason when that fails.
bool flush_directory(std::string* reason);

}  // namespace show_tool
