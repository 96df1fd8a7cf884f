// What a person sees in an item: the texts its commands draw, read with the renderer's own
// lexer, command table and argument readers, so that the two never disagree.
#include <cstring>
#include <string>
#include <vector>

#include "owndraw/markup/markup_state.h"
#include "owndraw/primitives/text.h"

namespace owndraw {

namespace {

// Adds one drawn text to `out`: the reserved bytes become blanks, blanks at either end go,
// and an empty piece adds nothing; pieces are joined by one blank.
void append_piece(std::string& out, const char* piece)
{
    std::string text(piece);
    for (char& c : text)
        if (c == ARG_OPEN || c == ARG_CLOSE || c == FIELD_SEPARATOR)
            c = ' ';
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return;
    const size_t last = text.find_last_not_of(' ');
    if (!out.empty())
        out += ' ';
    out.append(text, first, last - first + 1);
}

bool draws_argument(const MarkupCommand& command)
{
    return command.handler == command_txt || command.handler == command_txl;
}

bool draws_text_part(const MarkupCommand& command)
{
    return command.handler == command_cl || command.handler == command_csl ||
           command.handler == command_cs || command.handler == command_cd;
}

} // namespace

std::string visible_text(const char* item_text)
{
    std::string out;
    if (item_text == nullptr)
        return out;
    if (!is_markup(item_text)) {
        append_piece(out, item_text);
        return out;
    }
    const size_t size = std::strlen(item_text) + 1;
    std::vector<char> arg(size), work(size);
    char word[COMMAND_NAME_SIZE];
    const char* cursor = item_text;
    while (*cursor != '\0') {
        next_command(&cursor, word, sizeof word, arg.data());
        const MarkupCommand* command = find_markup_command(word);
        if (command == nullptr)
            continue;
        int index = 0;
        if (draws_argument(*command)) {
            append_piece(out, arg.data());
        } else if (draws_text_part(*command)) {
            append_piece(out, read_column_argument(arg.data(), &index));
        } else if (command->handler == command_ca) {
            char gradient[CELL_FIELD_SIZE], bitmap[CELL_FIELD_SIZE], label[CELL_FIELD_SIZE];
            // The body goes back into the argument, as the painter does it.
            read_cell_fields(arg.data(), &index, work.data(), gradient, bitmap, label, arg.data());
            append_piece(out, label);
            append_piece(out, arg.data());
        }
    }
    return out;
}

}  // namespace owndraw
