// The input script of the scripted device: its lines, checked as they are added, and
// the steps they make, run one at a time whenever the program waits for input.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/headless/headless.h"
#include "platform/window.h"

namespace {

struct ScriptStep {
    std::string command;
    std::vector<std::string> words;
    std::string rest;  // the text after the command, for "type"
};

std::deque<ScriptStep>& script() {
    static std::deque<ScriptStep> steps;
    return steps;
}

// The words that name mouse buttons and keys, with what they stand for: a key's
// virtual-key code, and the character it types as well, where it types one (0: none).
const std::map<std::string, int> BUTTONS = {{"left", 0}, {"right", 1}};
struct KeyStroke {
    uintptr_t virtual_key;
    uint8_t character;
};
const std::map<std::string, KeyStroke> KEYS = {{"left", {KEY_LEFT, 0}},
                                               {"up", {KEY_UP, 0}},
                                               {"right", {KEY_RIGHT, 0}},
                                               {"down", {KEY_DOWN, 0}},
                                               {"pageup", {KEY_PAGE_UP, 0}},
                                               {"pagedown", {KEY_PAGE_DOWN, 0}},
                                               {"home", {KEY_HOME, 0}},
                                               {"end", {KEY_END, 0}},
                                               {"space", {KEY_SPACE, ' '}},
                                               {"escape", {KEY_ESCAPE, CHAR_ESCAPE}},
                                               {"backspace", {KEY_BACK, CHAR_BACKSPACE}},
                                               {"q", {KEY_Q, 'q'}},
                                               {"m", {KEY_M, 'm'}}};

long number(const std::string& word) {
    return std::strtol(word.c_str(), nullptr, 10);
}

bool is_integer(const std::string& word) {
    if (word.empty()) return false;
    char* end = nullptr;
    std::strtol(word.c_str(), &end, 10);
    return *end == '\0';
}

bool is_byte(const std::string& word) {
    return is_integer(word) && number(word) >= 0 && number(word) <= 255;
}

bool valid_step(const ScriptStep& step, std::string* error) {
    const std::string& c = step.command;
    const size_t n = step.words.size();
    auto fail = [&](const char* why) {
        if (error != nullptr) *error = why;
        return false;
    };
    if (c == "move")
        return (n == 2 && is_integer(step.words[0]) && is_integer(step.words[1])) ||
               fail("move needs two whole numbers: move DX DY");
    if (c == "click" || c == "press" || c == "release")
        return (n == 1 && BUTTONS.count(step.words[0]) != 0) || fail("a button is left or right");
    if (c == "key")
        return (n == 1 && KEYS.count(step.words[0]) != 0) ||
               fail(
                   "key takes left, up, right, down, pageup, pagedown, home, end, space, "
                   "escape, backspace, q or m");
    if (c == "wheel")
        return (n == 1 && is_integer(step.words[0])) || fail("wheel takes notches: wheel N");
    if (c == "type") return true;
    if (c == "char")
        return (n == 1 && is_byte(step.words[0])) || fail("char takes a byte value 0..255");
    if (c == "activate")
        return (n == 1 && (step.words[0] == "0" || step.words[0] == "1")) ||
               fail("activate takes 1 or 0");
    if (c == "wait")
        return (n == 1 && is_integer(step.words[0])) || fail("wait takes milliseconds");
    if (c == "shot") return n == 1 || fail("shot takes a file name");
    if (c == "close" || c == "lose") return n == 0 || fail("takes no arguments");
    return fail("unknown command");
}

void run_step(const ScriptStep& step) {
    const std::string& c = step.command;
    if (c == "move") {
        soft_mouse_motion(static_cast<int>(number(step.words[0])),
                          static_cast<int>(number(step.words[1])));
    } else if (c == "click" || c == "press" || c == "release") {
        const int button = BUTTONS.at(step.words[0]);
        if (c != "release") soft_mouse_button(button, true);
        if (c != "press") soft_mouse_button(button, false);
    } else if (c == "key") {
        // As a keyboard gives it: the key press, then the character it types.
        const KeyStroke& key = KEYS.at(step.words[0]);
        soft_key(key.virtual_key);
        if (key.character != 0) soft_char(key.character);
    } else if (c == "wheel") {
        soft_mouse_wheel(static_cast<int>(number(step.words[0])));
    } else if (c == "type") {
        soft_text_utf8(step.rest);
    } else if (c == "char") {
        soft_char(static_cast<uint8_t>(number(step.words[0])));
    } else if (c == "activate") {
        soft_focus(step.words[0] == "1");
    } else if (c == "wait") {
        headless_advance_clock(number(step.words[0]));
    } else if (c == "shot") {
        if (!headless_write_screenshot(step.words[0]))
            std::fprintf(stderr, "qzview-headless: cannot write %s\n", step.words[0].c_str());
    } else if (c == "close") {
        soft_close();
    } else if (c == "lose") {
        soft_mouse_input_lost();
    }
}

}  // namespace

// --- the script ---

bool headless_add_script_line(const std::string& line, std::string* error) {
    size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') return true;
    std::string text = line.substr(start);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    ScriptStep step;
    const size_t space = text.find(' ');
    step.command = text.substr(0, space);
    if (space != std::string::npos) step.rest = text.substr(space + 1);
    std::istringstream words(step.rest);
    for (std::string word; words >> word;)
        step.words.push_back(word);
    if (!valid_step(step, error)) return false;
    script().push_back(step);
    return true;
}

bool headless_load_script(const std::string& path, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        if (error != nullptr) *error = "cannot read the script " + path;
        return false;
    }
    int line_number = 0;
    for (std::string line; std::getline(file, line);) {
        ++line_number;
        std::string why;
        if (!headless_add_script_line(line, &why)) {
            if (error != nullptr) *error = path + ":" + std::to_string(line_number) + ": " + why;
            return false;
        }
    }
    return true;
}

size_t headless_script_lines_left() {
    return script().size();
}

void headless_clear_script() {
    script().clear();
}

bool run_next_script_step() {
    if (script().empty()) return false;
    const ScriptStep step = script().front();
    script().pop_front();
    run_step(step);
    return true;
}

// A "wait" longer than the time left before a deadline is cut in two: the time left is
// waited now, by the caller, and the rest stays the script's next step.
int64_t cut_wait_at_deadline(int64_t left_ms) {
    if (script().empty()) return 0;
    ScriptStep& step = script().front();
    if (step.command != "wait" || number(step.words[0]) <= left_ms) return 0;
    step.words[0] = std::to_string(number(step.words[0]) - left_ms);
    return left_ms;
}
