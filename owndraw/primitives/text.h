// Text helpers shared by the installer, the button painter and the list item mark-up.
// Plain C++ on byte strings, no Win32: they also build natively for fuzzing.
#pragma once
#include <cstddef>

namespace owndraw {

// Separates the first two fields of a three-field argument.
constexpr char FIELD_SEPARATOR = '\x86';

// 1 when `text` is empty or made only of spaces (0x20); 0 otherwise.
int is_blank(const char* text);
// Replaces trailing spaces (0x20 only) by terminators, in place.
void trim_trailing_blanks(char* text);
// Removes leading spaces (0x20 only) in place, moving the rest with its terminator.
void trim_leading_blanks(char* text);
// Copies at most size - 1 bytes of [begin, end) into destination and terminates it;
// size 0 writes nothing. The bounded copy behind every fixed text field.
void copy_bounded(char* destination, size_t size, const char* begin, const char* end);
// One step of the standard tokeniser, without writing into the text: skips the run of
// `delimiter` bytes at `p`, and returns the token that follows with *end just past its
// last byte. nullptr when only delimiters remain.
const char* find_token(const char* p, char delimiter, const char** end);
// Splits `text` (changed in place: terminators where tokens end) into f1, up to the first
// FIELD_SEPARATOR token end (separators in front of it stay in f1), f2, the next token,
// and f3, the next blank-delimited word. Each output is bounded by its capacity.
void split_three_fields(char* text, char* f1, size_t f1_size, char* f2, size_t f2_size,
                        char* f3, size_t f3_size);
// The value of a hexadecimal digit; -1 for any other character.
int hex_digit_value(char c);
// Reads a colour pair, twelve hexadecimal digits RRGGBBRRGGBB, into six 16-bit channels
// with the digits in the high byte. Nothing past the terminator is read: a channel at or
// after it, or whose two characters are not both hexadecimal digits, reads as 0. A null
// text gives six zeros.
void read_color_pair(const char* text, unsigned short channels[6]);

}  // namespace owndraw
