// The item mark-up's lexical rules and argument readers. Plain C++ on byte strings, no
// Win32, so that everything that reads item text also builds natively for fuzzing.
#pragma once
#include <cstddef>

namespace owndraw {

// Reserved bytes of the language.
constexpr char COMMAND_START = '@';
constexpr char ARG_OPEN = '\x82';  // ends the command word, opens its argument; its presence
                                   // anywhere in a text switches the text into mark-up mode
constexpr char ARG_CLOSE = '\x83'; // closes the argument
// Separators between a leading number and the rest of an argument.
constexpr char INDEX_SEPARATORS[] = ",;";

// `command_name` holds a word of at most COMMAND_NAME_SIZE - 1 bytes; longer words are cut
// there (the rest of the word is skipped, never written).
constexpr size_t COMMAND_NAME_SIZE = 500;
// Fields of "@CA" and "@CR": 16-byte stores, so at most 15 bytes each.
constexpr size_t CELL_FIELD_SIZE = 16;
// Row pattern names: at most 23 characters in a 24-byte store.
constexpr size_t PATTERN_NAME_MAX = 23;
constexpr size_t PATTERN_NAME_SIZE = PATTERN_NAME_MAX + 1;

// 1 when the text holds ARG_OPEN, that is, it is mark-up rather than plain text.
int is_markup(const char* text);

// Where the next command word begins: the first '@' at or after `text`, or its terminator.
// The bytes passed over are outside every command.
const char* find_command_start(const char* text);
// The length of the command word that begins at `word`: its bytes up to ARG_OPEN or the end.
size_t command_word_length(const char* word);

// One pass of the interpreter's lexer over `*cursor`: skips to the next '@' (the bytes
// passed over are dropped), copies the command word from the '@' up to ARG_OPEN or the
// end into `word` (cut at `word_size` - 1 bytes), then the argument up to ARG_CLOSE or the
// end into `arg` (which must hold as many bytes as remain in the text, plus one), and
// steps over ARG_CLOSE. `word` and `arg` are empty when the text has no further '@';
// *cursor then stands on the terminator.
void next_command(const char** cursor, char* word, size_t word_size, char* arg);

// Command table words: an exact word matches only the whole command word; a prefix word
// of length n matches any command word that begins with its first n bytes.
// `prefix` is 0 for an exact word.
int command_word_matches(const char* command_name, const char* word, int prefix);

// ---- Argument readers ---------------------------------------------------------------
// Numbers that do not fit are held at the int range (the standard readers leave that
// undefined); nothing past the argument's terminator is ever read.

// `atol`-style: leading white space, an optional sign, digits up to the first non-digit;
// no digits give 0.
int read_decimal(const char* text);
// "%d"-style: the same syntax, but without digits *target keeps its value. Returns 1 when
// a number was read.
int read_int(const char* text, int* target);
// "%lx"-style colour value: leading white space, an optional sign, an optional 0x, hex
// digits; without digits *target keeps its value. Returns 1 when a value was read.
int read_color(const char* text, unsigned long* target);
// The text after the first ',' or ';'; the empty text (the terminator) without one.
const char* text_part(const char* text);

// Column cell commands: *index := 0, then the column number with "%d"; returns text_part.
const char* read_column_argument(const char* arg, int* index);
// "@CA": the column number and text part as above; the text part is copied into `work`
// and split into the colour pair, the bitmap name and the label (16-byte stores). When
// the label is not blank, `body` receives the text part after its first blank with its
// leading blanks removed; otherwise `body` is emptied. `work` and `body` must each hold
// strlen(arg) + 1 bytes; `body` may be the argument buffer itself.
void read_cell_fields(char* arg, int* index, char* work, char* gradient, char* bitmap,
                      char* label, char* body);
// "@CR": the column number, and the text part cut into a 16-byte colour pair store.
void read_column_gradient(const char* arg, int* index, char* gradient);
// "@TREE": *level_width := the leading number ("%d", 0 without one); returns the pattern,
// the text after the first separator, or nullptr when there is no separator.
const char* read_tree_argument(const char* arg, int* level_width);
// "@DRC": *color := the leading colour value ("%lx"); *count := the number after the first
// separator ("%d"); each keeps its value where the argument has none.
void read_range_color(const char* arg, unsigned long* color, int* count);
// "@DR", "@DRS": *from := the leading number, *to := the number after the first separator
// ("%d"); each keeps its value where the argument has none.
void read_range(const char* arg, int* from, int* to);
// "@SFP", "@SFD": the whole argument, cut at PATTERN_NAME_MAX characters.
void read_pattern_name(const char* arg, char store[PATTERN_NAME_SIZE]);

}  // namespace owndraw
