// The item mark-up renderer: paints one owner-drawn list item from its text.
#pragma once
#include <windows.h>

#include <cstdint>

#include <owndraw/owndraw.h>

namespace owndraw {

// The rectangle the current command draws in. Process-wide: its last value outlives the
// call, which makes the renderer non-reentrant (one UI thread paints items one at a time).
extern RECT work_rect;

// One row of the command table: the word, 0 for an exact match or the number of leading
// bytes compared, and the handler.
struct MarkupState;
using MarkupHandler = void (*)(MarkupState& state);
struct MarkupCommand {
    const char* word;
    int prefix;
    MarkupHandler handler;
};
// The 43 commands in the order of the dispatch.
extern const MarkupCommand markup_commands[];
extern const size_t markup_command_count;
// The first row whose word matches `command_name`; nullptr when none does (ignored).
const MarkupCommand* find_markup_command(const char* command_name);

}  // namespace owndraw
