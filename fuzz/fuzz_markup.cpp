// libFuzzer target for all that reads item text (lexer, word match, argument readers), on buffers
// of exactly the renderer's sizes, so that AddressSanitizer sees any access outside them.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "owndraw/markup/syntax.h"
#include "owndraw/primitives/text.h"

using namespace owndraw;

namespace {

// The words and match lengths of the command table, to exercise the matcher.
const struct { const char* word; int prefix; } words[] = {
    {"@OFS", 0}, {"@X", 0}, {"@XCOL", 0}, {"@BMP", 4}, {"@CL", 3}, {"@CSL", 4}, {"@CA", 3},
    {"@TXT", 4}, {"@FRG", 4}, {"@SEP", 0}, {"@TREE", 0}, {"@DRS", 0}, {"@SFB", 0}, {"@F01", 4},
};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void read_every_argument(const char* arg, size_t size)
{
    int n = 0;
    unsigned long color = 0;
    read_decimal(arg);
    read_int(arg, &n);
    read_color(arg, &color);
    require(std::strlen(text_part(arg)) <= std::strlen(arg));
    read_column_argument(arg, &n);
    read_column_gradient(arg, &n, std::make_unique<char[]>(CELL_FIELD_SIZE).get());
    const char* pattern = read_tree_argument(arg, &n);
    require(pattern == nullptr || (pattern > arg && pattern <= arg + std::strlen(arg)));
    read_range_color(arg, &color, &n);
    int from = 0, to = 0;
    read_range(arg, &from, &to);
    std::unique_ptr<char[]> store(new char[PATTERN_NAME_SIZE]);
    read_pattern_name(arg, store.get());
    require(std::strlen(store.get()) <= PATTERN_NAME_MAX);
    unsigned short channels[6];
    read_color_pair(arg, channels);

    // "@CA" works in the argument buffer itself, as the renderer does.
    std::unique_ptr<char[]> own(new char[size]);
    std::unique_ptr<char[]> work(new char[size]);
    std::memcpy(own.get(), arg, std::strlen(arg) + 1);
    std::unique_ptr<char[]> gradient(new char[CELL_FIELD_SIZE]);
    std::unique_ptr<char[]> bitmap(new char[CELL_FIELD_SIZE]);
    std::unique_ptr<char[]> label(new char[CELL_FIELD_SIZE]);
    read_cell_fields(own.get(), &n, work.get(), gradient.get(), bitmap.get(), label.get(), own.get());
    require(std::strlen(label.get()) < CELL_FIELD_SIZE);
    trim_leading_blanks(own.get());
    is_blank(own.get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t length)
{
    // The renderer sees a NUL-terminated text: up to the first NUL of the input.
    const size_t size = length + 1;
    std::unique_ptr<char[]> text(new char[size]);
    std::memcpy(text.get(), data, length);
    text[length] = '\0';
    std::unique_ptr<char[]> word(new char[COMMAND_NAME_SIZE]);
    std::unique_ptr<char[]> arg(new char[size]);

    is_markup(text.get());
    const char* cursor = text.get();
    while (*cursor != '\0') {
        const char* before = cursor;
        next_command(&cursor, word.get(), COMMAND_NAME_SIZE, arg.get());
        require(cursor > before && cursor <= text.get() + length);
        require(std::strlen(word.get()) < COMMAND_NAME_SIZE);
        for (const auto& w : words)
            command_word_matches(word.get(), w.word, w.prefix);
        read_every_argument(arg.get(), size);
    }
    return 0;
}
