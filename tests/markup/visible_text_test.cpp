// visible_text: what a person sees in an item, read with the renderer's lexer and table.
#include <gtest/gtest.h>

#include "support/item_render.h"

namespace {

TEST(VisibleText, TheDrawnTextsInOrderTrimmedAndJoined) {
    // Readable item texts (see items::markup), the visible text, why.
    const struct { const char* text; const char* visible; const char* why; } cases[] = {
        {"@TXT{Milano}@X{90}@TXL{ sede  centrale }", "Milano sede  centrale", "both runs, trimmed at the ends only"},
        {"@CL{0, uno}@CSL{1;due}@CS{2,tre}@CD{3,quattro}@CR{1,FFFFFFC8DCFF}", "uno due tre quattro", "the text parts of the cells; @CR draws none"},
        {"@CA{0,FFFFFFC8DCFF|ICOB011|Client   C:\\VORAN}", "Client C:\\VORAN", "the label and the body of @CA, not its colours or bitmap"},
        {"@CA{0,FFFFFFC8DCFF|ICOB011| }", "", "a blank label draws nothing"},
        {"@BMP{ICOB011}@FRG{0000FF}@SEP{1}@TXT{ }@TXT{x}@LIN{}", "x", "no command word, no argument that is not text; empty pieces dropped"},
        {"abc@TXT7{a{b}def@TXTX{c|d}@TX{no}@CSX{1,e}@CAPTION{0,00|B|f}", "a b c d e f", "dropped bytes, the table's prefix words, reserved bytes as blanks"},
        {"  Plain @TXT text  ", "Plain @TXT text", "a plain text as it stands, trimmed"},
        {"", "", "an empty text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(owndraw::visible_text(items::markup(c.text).c_str()), c.visible) << c.text << ": " << c.why;
    EXPECT_EQ(owndraw::visible_text("\x86" "a\x83 b"), "a  b") << "a plain text never holds the reserved bytes";
}

} // namespace
