#include "owndraw/primitives/text.h"

#include <cstring>

namespace owndraw {

int is_blank(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != ' ')
            return 0;
    }
    return 1;
}

void trim_trailing_blanks(char* text)
{
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == ' ')
        text[--n] = '\0';
}

void trim_leading_blanks(char* text)
{
    size_t skip = 0;
    while (text[skip] == ' ')
        ++skip;
    if (skip > 0)
        std::memmove(text, text + skip, std::strlen(text + skip) + 1);
}

void copy_bounded(char* destination, size_t size, const char* begin, const char* end)
{
    if (size == 0)
        return;
    size_t length = static_cast<size_t>(end - begin);
    if (length > size - 1)
        length = size - 1;
    std::memcpy(destination, begin, length);
    destination[length] = '\0';
}

const char* find_token(const char* p, char delimiter, const char** end)
{
    while (*p == delimiter)
        ++p;
    if (*p == '\0')
        return nullptr;
    const char* q = p;
    while (*q != '\0' && *q != delimiter)
        ++q;
    *end = q;
    return p;
}

namespace {

// find_token, then a terminator written after the token as the standard tokeniser does;
// *cursor continues after it.
char* take_token(char** cursor, char delimiter)
{
    const char* end = nullptr;
    const char* found = find_token(*cursor, delimiter, &end);
    if (!found) {
        *cursor += std::strlen(*cursor);
        return nullptr;
    }
    char* token = *cursor + (found - *cursor);
    char* token_end = *cursor + (end - *cursor);
    *cursor = token_end;
    if (*token_end != '\0') {
        *token_end = '\0';
        ++*cursor;
    }
    return token;
}

} // namespace

void split_three_fields(char* text, char* f1, size_t f1_size, char* f2, size_t f2_size, char* f3,
                        size_t f3_size)
{
    if (f1_size > 0)
        f1[0] = '\0';
    if (f2_size > 0)
        f2[0] = '\0';
    if (f3_size > 0)
        f3[0] = '\0';

    char* cursor = text;
    char* first = take_token(&cursor, FIELD_SEPARATOR);
    if (!first)
        return;
    // The first field runs from the very start of the text: separators in front of the
    // first token belong to it.
    copy_bounded(f1, f1_size, text, first + std::strlen(first));

    char* second = take_token(&cursor, FIELD_SEPARATOR);
    if (!second)
        return;
    copy_bounded(f2, f2_size, second, second + std::strlen(second));

    char* third = take_token(&cursor, ' ');
    if (third)
        copy_bounded(f3, f3_size, third, third + std::strlen(third));
}

void read_color_pair(const char* text, unsigned short channels[6])
{
    bool ended = (text == nullptr);
    for (int i = 0; i < 6; ++i) {
        int high = -1;
        int low = -1;
        if (!ended) {
            if (text[2 * i] == '\0') {
                ended = true;
            } else {
                high = hex_digit_value(text[2 * i]);
                if (text[2 * i + 1] == '\0')
                    ended = true;
                else
                    low = hex_digit_value(text[2 * i + 1]);
            }
        }
        channels[i] = (high < 0 || low < 0) ? 0 : static_cast<unsigned short>(((high << 4) | low) << 8);
    }
}

int hex_digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace owndraw
