#include "owndraw/markup/syntax.h"

#include <climits>
#include <cstring>

#include "owndraw/primitives/text.h"

namespace owndraw {

namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The shared decimal syntax. Returns 1 and the value (held at the int range) when digits
// follow the white space and sign; 0 otherwise.
int parse_decimal(const char* p, int* value)
{
    while (is_space(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (*p++ == '-');
    if (*p < '0' || *p > '9')
        return 0;
    long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative)
        *value = magnitude > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-magnitude);
    else
        *value = magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
    return 1;
}

const char* after_separator(const char* text)
{
    const char* p = std::strpbrk(text, INDEX_SEPARATORS);
    return p ? p + 1 : nullptr;
}

} // namespace

int is_markup(const char* text)
{
    return std::strchr(text, ARG_OPEN) != nullptr ? 1 : 0;
}

const char* find_command_start(const char* text)
{
    while (*text != '\0' && *text != COMMAND_START)
        ++text;
    return text;
}

size_t command_word_length(const char* word)
{
    const char* p = word;
    while (*p != '\0' && *p != ARG_OPEN)
        ++p;
    return static_cast<size_t>(p - word);
}

void next_command(const char** cursor, char* word, size_t word_size, char* arg)
{
    const char* p = find_command_start(*cursor);
    word[0] = '\0';
    arg[0] = '\0';
    if (*p == '\0') {
        *cursor = p;
        return;
    }
    // Everything before ARG_OPEN belongs to the word; a word too long for its buffer is
    // cut there and the rest of it skipped.
    const char* word_begin = p;
    p += command_word_length(word_begin);
    copy_bounded(word, word_size, word_begin, p);
    if (*p == ARG_OPEN) {
        ++p;
        const char* arg_begin = p;
        while (*p != '\0' && *p != ARG_CLOSE)
            ++p;
        std::memcpy(arg, arg_begin, static_cast<size_t>(p - arg_begin));
        arg[p - arg_begin] = '\0';
        if (*p == ARG_CLOSE)
            ++p;
    }
    *cursor = p;
}

int command_word_matches(const char* command_name, const char* word, int prefix)
{
    if (prefix == 0)
        return std::strcmp(command_name, word) == 0 ? 1 : 0;
    return std::strncmp(command_name, word, static_cast<size_t>(prefix)) == 0 ? 1 : 0;
}

int read_decimal(const char* text)
{
    int value = 0;
    parse_decimal(text, &value);
    return value;
}

int read_int(const char* text, int* target)
{
    return parse_decimal(text, target);
}

int read_color(const char* text, unsigned long* target)
{
    const char* p = text;
    while (is_space(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (*p++ == '-');
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hex_digit_value(p[2]) >= 0)
        p += 2;
    if (hex_digit_value(*p) < 0)
        return 0;
    // A colour value is 32 bits wide; longer numbers are held at its maximum, and a
    // sign negates modulo 2^32, as the platform's unsigned long reader does.
    unsigned long long value = 0;
    for (; hex_digit_value(*p) >= 0; ++p) {
        value = value * 16 + static_cast<unsigned>(hex_digit_value(*p));
        if (value > 0xFFFFFFFFull)
            value = 0x1FFFFFFFFull; // stays saturated
    }
    if (value > 0xFFFFFFFFull)
        value = 0xFFFFFFFFull;
    if (negative)
        value = (0x100000000ull - value) & 0xFFFFFFFFull;
    *target = static_cast<unsigned long>(value);
    return 1;
}

const char* text_part(const char* text)
{
    const char* p = after_separator(text);
    return p ? p : text + std::strlen(text);
}

const char* read_column_argument(const char* arg, int* index)
{
    *index = 0;
    read_int(arg, index);
    return text_part(arg);
}

void read_cell_fields(char* arg, int* index, char* work, char* gradient, char* bitmap,
                      char* label, char* body)
{
    const char* part = read_column_argument(arg, index);
    std::memmove(work, part, std::strlen(part) + 1);
    split_three_fields(work, gradient, CELL_FIELD_SIZE, bitmap, CELL_FIELD_SIZE, label,
                       CELL_FIELD_SIZE);
    if (is_blank(label)) {
        body[0] = '\0';
        return;
    }
    // The split wrote terminators into the work copy: take the text part afresh. It may
    // live in `body` itself, hence the copy first.
    std::memmove(work, part, std::strlen(part) + 1);
    const char* blank = std::strchr(work, ' ');
    const char* rest = blank ? blank + 1 : work + std::strlen(work);
    std::memmove(body, rest, std::strlen(rest) + 1);
    trim_leading_blanks(body);
}

void read_column_gradient(const char* arg, int* index, char* gradient)
{
    const char* part = read_column_argument(arg, index);
    copy_bounded(gradient, CELL_FIELD_SIZE, part, part + std::strlen(part));
}

const char* read_tree_argument(const char* arg, int* level_width)
{
    *level_width = 0;
    read_int(arg, level_width);
    return after_separator(arg);
}

void read_range_color(const char* arg, unsigned long* color, int* count)
{
    read_color(arg, color);
    if (const char* second = after_separator(arg))
        read_int(second, count);
}

void read_range(const char* arg, int* from, int* to)
{
    read_int(arg, from);
    if (const char* second = after_separator(arg))
        read_int(second, to);
}

void read_pattern_name(const char* arg, char store[PATTERN_NAME_SIZE])
{
    copy_bounded(store, PATTERN_NAME_SIZE, arg, arg + std::strlen(arg));
}

}  // namespace owndraw
