#include "tools/show/show_tool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "show/picture_table.h"
#include "show/show_file.h"
#include "tools/show/show_add.h"
#include "tools/show/show_check.h"
#include "tools/show/show_csv.h"
#include "tools/show/show_image.h"
#include "tools/show/show_lock.h"
#include "tools/show/show_new.h"
#include "tools/show/show_sheet.h"

namespace show_tool {

namespace {

const char* const main_help =
    "usage: qzview-show COMMAND [ARGUMENTS]\n"
    "\n"
    "Checks, dumps and loads the show script SCR1.BIL of a qzview show directory, and\n"
    "makes a show from image files.\n"
    "\n"
    "commands:\n"
    "  check [DIR]          list the files the show needs but lacks, and screenshots\n"
    "                       no entry uses\n"
    "  dump [DIR]           print the show script as CSV on standard output\n"
    "  load FILE.csv [DIR]  write the show script from such a CSV\n"
    "  new DIR [--title TEXT]\n"
    "                       write a new show's graphics sheet, title and sounds\n"
    "  add [--dir DIR] FILES...\n"
    "                       add image files (PNG, JPEG, WebP, ...) as screenshots and entries\n"
    "  sheet [DIR] -o FILE.png|FILE.jpg\n"
    "                       draw a contact sheet of the whole show\n"
    "\n"
    "DIR is the show's directory, by default the working directory.\n"
    "'qzview-show COMMAND --help' tells more about each command;\n"
    "'qzview-show --version' prints the version.\n"
    "Exit status 2 for a wrong command line.\n";

const char* const check_help =
    "usage: qzview-show check [DIR]\n"
    "\n"
    "Reads DIR/SCR1.BIL as the program does and checks every file the show needs: the\n"
    "graphics sheet scs00001.BMP, the title picture scs00002.BMP and, for entries 1 to\n"
    "the picture count, the screenshot (number 0 or below: the file -.BMP), boxes 1 to 3\n"
    "whose number is above 0 (scbNNNNN.BMP) and the sound whose number is above 0\n"
    "(bsouN.WAV). A file counts as present only when the program's own loaders read it:\n"
    "bitmaps must decode, sounds must be PCM WAVE files.\n"
    "\n"
    "Each missing or unloadable file gets one line on standard output, naming the\n"
    "entries that use it, for example:\n"
    "  scs00105.BMP: missing; screenshot of entries 3-5, 7\n"
    "  bsou12.WAV: does not load as a PCM WAVE file; sound of entry 9\n"
    "Then each screenshot file (scs*.BMP in any letter case) in DIR that neither an\n"
    "entry 1 to the picture count nor the sheet or title uses gets a line, such as\n"
    "  scs00140.BMP: used by no entry\n"
    "(these do not change the exit status), and a last line counts the missing ones. Warnings go "
    "to standard error and do not change the\n"
    "exit status: a show file that is not 24508 bytes long, a picture count outside\n"
    "1..499 (the program clamps it), and levels above 48 (the program draws strip 48).\n"
    "\n"
    "Exit status: 0 all files present, 1 something missing or not loadable, 2 the show\n"
    "file cannot be read (or a wrong command line).\n";

const char* const load_help_text =
    "usage: qzview-show load FILE.csv [DIR]\n"
    "\n"
    "Writes DIR/SCR1.BIL from FILE.csv in the form 'qzview-show dump' prints (see\n"
    "'qzview-show dump --help'), so that dump and load give the file back byte for\n"
    "byte. The new file is written beside the old one, checked, flushed to disk and\n"
    "only then put in its place, as the program's editor saves. While another\n"
    "qzview-show adds to the same show, load waits for it (up to 60 s, then it fails\n"
    "and changes nothing).\n"
    "\n"
    "Entry rows may come in any order after the header; the two counter lines may\n"
    "stand anywhere. Empty lines, CR LF line ends, a UTF-8 byte order mark and spaces\n"
    "around a value are accepted; quotes are not. Values are whole decimal numbers:\n"
    "pic_marked 0..255, everything else -2147483648..2147483647, index 0..499.\n"
    "\n"
    "When the CSV is wrong (a wrong column count, a value that is not a number or out\n"
    "of range, an index outside 0..499, an entry given twice or not at all, a missing\n"
    "counter or header line), the error names the line and column and SCR1.BIL stays\n"
    "as it was. FILE.csv is taken relative to the working directory, not to DIR.\n"
    "\n"
    "Exit status: 0 written, 1 FILE.csv unreadable or wrong, or SCR1.BIL could not be\n"
    "written (the old one is kept), 2 a wrong command line.\n";

std::string dump_help() {
    return std::string(
               "usage: qzview-show dump [DIR]\n"
               "\n"
               "Prints DIR/SCR1.BIL as CSV on standard output, exactly as the file holds it:\n"
               "first_picture as stored, a picture count outside 1..499 as stored, and\n"
               "pic_marked bytes other than 0 and 1.\n"
               "\n"
               "  line 1:        first_picture,N\n"
               "  line 2:        picture_count,N\n"
               "  line 3:        the header, naming the columns in the show file's order:\n"
               "                 ") +
           show_csv_header() +
           "\n"
           "  lines 4-503:   one row for each entry 0 to 499 (the show runs over entries\n"
           "                 1 to picture_count; the others are kept in the file too)\n"
           "\n"
           "A show file shorter than 24508 bytes is dumped as the program reads it: what\n"
           "the file holds, and the program's start-up table for the rest (one picture,\n"
           "file 100; every other entry at its defaults). Bytes after the 24508th are\n"
           "ignored, as the program ignores them. Both cases give a warning on standard\n"
           "error; loading such a dump writes a file of the full length.\n"
           "\n"
           "Exit status: 0 dumped, 1 standard output could not be written, 2 the show file\n"
           "cannot be read (or a wrong command line).\n";
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool read_text_file(const std::string& path, std::string* text, std::string* reason) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *reason = std::strerror(errno);
        return false;
    }
    char buffer[8192];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text->append(buffer, got);
    if (std::ferror(file.get())) {
        *reason = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

int run_check(const std::string& directory, std::ostream& out, std::ostream& err) {
    const std::string path = show_file_path(directory);
    ShowDirectory show_directory(directory);
    if (!show_directory.entered()) {
        err << PROGRAM << ": check: cannot read " << path << ": " << show_directory.why_not()
            << '\n';
        return STATUS_USAGE_OR_UNREADABLE;
    }
    CheckResult result;
    std::string reason;
    if (!check_show(&result, &reason)) {
        err << PROGRAM << ": check: cannot read " << path << ": " << reason << '\n';
        return STATUS_USAGE_OR_UNREADABLE;
    }
    for (const std::string& warning : result.warnings)
        warn(err, warning);
    for (const FileProblem& problem : result.problems)
        out << problem.name << ": " << describe_file_state(problem.state, problem.is_sound) << "; "
            << problem.uses << '\n';
    for (const std::string& name : result.unused_screenshots)
        out << name << ": used by no entry\n";
    if (result.problems.empty()) {
        out << "all " << result.files_checked << " files present\n";
        return STATUS_DONE;
    }
    out << result.problems.size() << " of " << result.files_checked
        << " files missing or not loadable\n";
    return STATUS_FAILED;
}

int run_dump(const std::string& directory, std::ostream& out, std::ostream& err) {
    const std::string path = show_file_path(directory);
    ShowDirectory show_directory(directory);
    ShowFileContents contents;
    std::string reason = show_directory.why_not();
    if (!show_directory.entered() ||
        !read_show_file_contents(picture_table.show_file_name, &contents, &reason)) {
        err << PROGRAM << ": dump: cannot read " << path << ": " << reason << '\n';
        return STATUS_USAGE_OR_UNREADABLE;
    }
    warn(err, describe_unusual_size(contents.file_size));
    write_show_csv(contents.image, out);
    if (!out.flush()) {
        err << PROGRAM << ": dump: cannot write the standard output\n";
        return STATUS_FAILED;
    }
    return STATUS_DONE;
}

int run_load(const std::string& csv_path, const std::string& directory, std::ostream& out,
             std::ostream& err) {
    const std::string path = show_file_path(directory);
    const std::string kept = "; " + path + " is unchanged\n";
    std::string text, reason;
    if (!read_text_file(csv_path, &text, &reason)) {
        err << PROGRAM << ": load: cannot read " << csv_path << ": " << reason << kept;
        return STATUS_FAILED;
    }
    ShowImage image{};
    CsvError error;
    if (!parse_show_csv(text, &image, &error)) {
        err << PROGRAM << ": load: " << csv_path << ": " << describe_csv_error(error) << kept;
        return STATUS_FAILED;
    }
    ShowDirectory show_directory(directory);
    if (!show_directory.entered()) {
        err << PROGRAM << ": load: cannot enter " << directory << ": " << show_directory.why_not()
            << kept;
        return STATUS_FAILED;
    }
    ShowLock lock;
    if (!lock.take(directory, DEFAULT_LOCK_WAIT_SECONDS, &reason)) {
        err << PROGRAM << ": load: " << reason << kept;
        return STATUS_FAILED;
    }
    if (!put_into_table(image)) {
        err << PROGRAM << ": load: the table does not take the values as given" << kept;
        return STATUS_FAILED;
    }
    build_show_file_name();
    if (!save_show_file()) {
        err << PROGRAM << ": load: cannot write " << path << kept;
        return STATUS_FAILED;
    }
    const int64_t count = value_at(image, block_named("picture_count"), 0);
    if (count < 1 || count > MAX_PICTURES)
        warn(err, "the picture count " + std::to_string(count) +
                      " is outside 1..499: the program clamps it");
    out << PROGRAM << ": " << path << " written\n";
    return STATUS_DONE;
}

bool is_help(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

bool is_option(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

struct CommandShape {
    const char* name;
    size_t least_operands;
    size_t most_operands;
};

const CommandShape commands[] = {{"check", 0, 1}, {"dump", 0, 1}, {"load", 1, 2}};

std::string command_help(const std::string& name) {
    if (name == "check") return check_help;
    if (name == "dump") return dump_help();
    return load_help_text;
}

int run_command(const CommandShape& command, const std::vector<std::string>& operands,
                std::ostream& out, std::ostream& err) {
    const std::string name = command.name;
    if (name == "check") return run_check(operands.empty() ? "." : operands[0], out, err);
    if (name == "dump") return run_dump(operands.empty() ? "." : operands[0], out, err);
    return run_load(operands[0], operands.size() > 1 ? operands[1] : ".", out, err);
}

}  // namespace

int run_show_tool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) return usage_error(err, "", "no command given");
    if (is_help(arguments[0])) {
        out << main_help;
        return STATUS_DONE;
    }
    // The commands with options read their own command lines.
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (arguments[0] == "add") return run_add(rest, out, err);
    if (arguments[0] == "sheet") return run_sheet(rest, out, err);
    if (arguments[0] == "new") return run_new(rest, out, err);
    const CommandShape* command = nullptr;
    for (const CommandShape& shape : commands)
        if (arguments[0] == shape.name) command = &shape;
    if (command == nullptr) return usage_error(err, "", "unknown command '" + arguments[0] + "'");

    std::vector<std::string> operands;
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (is_help(arguments[i])) {
            out << command_help(command->name);
            return STATUS_DONE;
        }
        if (is_option(arguments[i]))
            return usage_error(err, command->name, "unknown option '" + arguments[i] + "'");
        operands.push_back(arguments[i]);
    }
    if (operands.size() < command->least_operands)
        return usage_error(err, command->name, "FILE.csv is missing");
    if (operands.size() > command->most_operands)
        return usage_error(err, command->name, "too many arguments");
    return run_command(*command, operands, out, err);
}

}  // namespace show_tool
