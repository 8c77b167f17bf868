#include "tools/show/show_csv.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "show/picture_table.h"

namespace show_tool {

namespace {

constexpr const char* INDEX_COLUMN = "index";
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

std::vector<const ShowFileBlock*> blocks_where(bool entry_columns) {
    std::vector<const ShowFileBlock*> blocks;
    for (const ShowFileBlock& block : show_file_blocks)
        if (is_entry_column(block) == entry_columns) blocks.push_back(&block);
    return blocks;
}

const std::vector<const ShowFileBlock*>& entry_columns() {
    static const std::vector<const ShowFileBlock*> columns = blocks_where(true);
    return columns;
}

const std::vector<const ShowFileBlock*>& counters() {
    static const std::vector<const ShowFileBlock*> blocks = blocks_where(false);
    return blocks;
}

// The header's names: "index" in column 1, then the entry columns.
std::vector<std::string> header_names() {
    std::vector<std::string> names = {INDEX_COLUMN};
    for (const ShowFileBlock* block : entry_columns())
        names.push_back(block->name);
    return names;
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t comma = line.find(',');
        fields.push_back(trimmed(line.substr(0, comma)));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

// The parse in progress: what has been seen, and on which line.
struct CsvParse {
    ShowImage* image;
    CsvError* error;
    int line = 0;
    int header_line = 0;
    std::vector<int> counter_lines = std::vector<int>(counters().size(), 0);
    std::vector<int> entry_lines = std::vector<int>(TABLE_SIZE, 0);

    bool fail(int column, std::string column_name, std::string message) {
        *error = CsvError{line, column, std::move(column_name), std::move(message)};
        return false;
    }
};

bool check_column_count(CsvParse& parse, const std::vector<std::string_view>& fields,
                        const std::vector<std::string>& names) {
    if (fields.size() == names.size()) return true;
    const std::string expected = std::to_string(names.size()) + " columns expected, " +
                                 std::to_string(fields.size()) + " found";
    if (fields.size() < names.size()) {
        const size_t missing = fields.size();
        return parse.fail(static_cast<int>(missing) + 1, names[missing],
                          "missing (" + expected + ")");
    }
    return parse.fail(static_cast<int>(names.size()) + 1, "",
                      "one column too many (" + expected + ")");
}

// A whole decimal number in lowest..highest; the error names the column.
bool parse_value(CsvParse& parse, std::string_view text, int column, const std::string& name,
                 int64_t lowest, int64_t highest, int64_t* value) {
    const std::string shown = "\"" + std::string(text) + "\"";
    long long number = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || end != text.data() + text.size() ||
        (problem != std::errc() && problem != std::errc::result_out_of_range))
        return parse.fail(column, name, shown + " is not a whole number");
    if (problem == std::errc::result_out_of_range || number < lowest || number > highest) {
        return parse.fail(
            column, name,
            shown + " is outside " + std::to_string(lowest) + ".." + std::to_string(highest));
    }
    *value = number;
    return true;
}

bool parse_counter_line(CsvParse& parse, size_t counter,
                        const std::vector<std::string_view>& fields) {
    const ShowFileBlock& block = *counters()[counter];
    if (!check_column_count(parse, fields, {"", block.name})) return false;
    int& seen = parse.counter_lines[counter];
    if (seen != 0) {
        return parse.fail(1, "",
                          std::string(block.name) + " is given twice (first on line " +
                              std::to_string(seen) + ")");
    }
    int64_t value = 0;
    if (!parse_value(parse, fields[1], 2, block.name, lowest_value(block), highest_value(block),
                     &value))
        return false;
    set_value_at(parse.image, block, 0, value);
    seen = parse.line;
    return true;
}

bool parse_header(CsvParse& parse, const std::vector<std::string_view>& fields) {
    if (parse.header_line != 0) {
        return parse.fail(
            1, INDEX_COLUMN,
            "a second header line (first on line " + std::to_string(parse.header_line) + ")");
    }
    const std::vector<std::string> names = header_names();
    if (!check_column_count(parse, fields, names)) return false;
    for (size_t column = 0; column < names.size(); ++column) {
        if (fields[column] != names[column]) {
            return parse.fail(
                static_cast<int>(column) + 1, names[column],
                "\"" + std::string(fields[column]) + "\" found, " + names[column] + " expected");
        }
    }
    parse.header_line = parse.line;
    return true;
}

bool parse_entry_row(CsvParse& parse, const std::vector<std::string_view>& fields) {
    if (parse.header_line == 0)
        return parse.fail(1, INDEX_COLUMN, "an entry row before the header line");
    const std::vector<std::string> names = header_names();
    if (!check_column_count(parse, fields, names)) return false;
    int64_t entry = 0;
    if (!parse_value(parse, fields[0], 1, INDEX_COLUMN, 0, TABLE_SIZE - 1, &entry)) return false;
    int& seen = parse.entry_lines[static_cast<size_t>(entry)];
    if (seen != 0) {
        return parse.fail(1, INDEX_COLUMN,
                          "entry " + std::to_string(entry) + " is given twice (first on line " +
                              std::to_string(seen) + ")");
    }
    for (size_t column = 1; column < fields.size(); ++column) {
        const ShowFileBlock& block = *entry_columns()[column - 1];
        int64_t value = 0;
        if (!parse_value(parse, fields[column], static_cast<int>(column) + 1, block.name,
                         lowest_value(block), highest_value(block), &value))
            return false;
        set_value_at(parse.image, block, static_cast<int>(entry), value);
    }
    seen = parse.line;
    return true;
}

bool parse_line(CsvParse& parse, std::string_view line) {
    if (trimmed(line).empty()) return true;
    const std::vector<std::string_view> fields = split_fields(line);
    for (size_t counter = 0; counter < counters().size(); ++counter)
        if (fields[0] == counters()[counter]->name)
            return parse_counter_line(parse, counter, fields);
    if (fields[0] == INDEX_COLUMN) return parse_header(parse, fields);
    return parse_entry_row(parse, fields);
}

// "17, 200, 201 and 3 more": enough to find the gaps without flooding the screen.
std::string list_missing_entries(const std::vector<int>& entry_lines) {
    constexpr int SHOWN = 10;
    std::string list;
    int missing = 0;
    for (int entry = 0; entry < TABLE_SIZE; ++entry) {
        if (entry_lines[static_cast<size_t>(entry)] != 0) continue;
        if (missing < SHOWN) list += (missing == 0 ? "" : ", ") + std::to_string(entry);
        ++missing;
    }
    if (missing > SHOWN) list += " and " + std::to_string(missing - SHOWN) + " more";
    return list;
}

// Reported on the line after the last, where the missing lines would have to go.
bool check_complete(CsvParse& parse) {
    ++parse.line;
    for (size_t counter = 0; counter < counters().size(); ++counter) {
        if (parse.counter_lines[counter] == 0)
            return parse.fail(1, "", std::string("no ") + counters()[counter]->name + " line");
    }
    if (parse.header_line == 0) return parse.fail(1, INDEX_COLUMN, "no header line");
    const std::string missing = list_missing_entries(parse.entry_lines);
    if (!missing.empty()) return parse.fail(1, INDEX_COLUMN, "no row for entries " + missing);
    return true;
}

}  // namespace

std::string show_csv_header() {
    std::string header;
    for (const std::string& name : header_names())
        header += (header.empty() ? "" : ",") + name;
    return header;
}

void write_show_csv(const ShowImage& image, std::ostream& out) {
    for (const ShowFileBlock* block : counters())
        out << block->name << ',' << value_at(image, *block, 0) << '\n';
    out << show_csv_header() << '\n';
    for (int entry = 0; entry < TABLE_SIZE; ++entry) {
        out << entry;
        for (const ShowFileBlock* block : entry_columns())
            out << ',' << value_at(image, *block, entry);
        out << '\n';
    }
}

std::string describe_csv_error(const CsvError& error) {
    std::string text =
        "line " + std::to_string(error.line) + ", column " + std::to_string(error.column);
    if (!error.column_name.empty()) text += " (" + error.column_name + ")";
    return text + ": " + error.message;
}

bool parse_show_csv(const std::string& text, ShowImage* image, CsvError* error) {
    std::string_view rest = text;
    if (rest.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        rest.remove_prefix(BYTE_ORDER_MARK.size());
    CsvParse parse{image, error};
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++parse.line;
        if (!parse_line(parse, line)) return false;
    }
    return check_complete(parse);
}

}  // namespace show_tool
