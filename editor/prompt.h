// The editor's number prompts: typed characters, Enter, Esc, Backspace and Tab.
#pragma once

#include <cstdint>

// A key for the open prompt (prompt_mode): one Windows-1252 byte, or 0 to draw the
// prompt just opened.
void number_entry_key(uint8_t key);

// The entry text as a number: leading blanks and a sign, then digits up to the first
// other character; no digit gives 0; beyond the int32 range it is clamped.
int32_t entry_text_value(const char* text);
