// markup-preview --check: how the interpreter reads an item text, command by command, and
// the mistakes in it that painting never reports. Reads the text with the renderer's own
// lexer, command table and argument readers, so that the check and the painting agree.
#pragma once
#include <windows.h>

#include <string>

#include "owndraw/markup/markup.h"

// What the check compares the text against.
struct CheckContext {
    const owndraw::ColumnTable* columns;  // nullptr: no table, so every column command is a mistake
    HMODULE resources;           // the module whose bitmaps the commands load by name
};

// Printable ASCII as it is; every other byte, and the backslash, as \xHH.
std::string escaped(const std::string& text);

// Prints one line per command (word as written, table word or "ignored", argument; a plain
// text is one "(plain)" line), one "text: " line with the item's visible text, then one
// "warning: OFFSET: MESSAGE" line per mistake, OFFSET counting bytes from the start of
// `text`. Returns the number of warnings.
int print_check(const std::string& text, const CheckContext& context);
