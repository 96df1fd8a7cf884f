// Nothing an item creates outlives it, and no item text breaks the renderer: a seeded run of
// random, mutated and numeric texts and of the item that uses every command.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/item_render.h"

using namespace owndraw;

namespace {

// All 43 words in one item; "@SFB" ends odd unselected rows with the font doubled twice.
const std::string EVERY_COMMAND =
    "@OFS{5}@X{10}@XE{300}@D{60}@XCOL{1}@BMP1{ICOB011}@BBK1{ICOB002}@RBR{BRUSH3}@CL{0,cell}@CSL{1,wrap it}"
    "@CA{0,FF0000D80000|ICOB011|Label body}@CS{1,left}@CD{0,right}@CR{1,DEEBFBF2F6FB}@TXT{text}@TXL{wrap it}"
    "@DTA{1}@BCK{C6FFFF}@BKM{1}@FRG{0000FF}@PEN{FF0000}@SEP{2}@TREE{10,123}@LIN{}@LINB{}@LINC{}@EL{0}@TL{}"
    "@FL{1}@RECT{00FF00}@GRECT{FFFF00FFFEBF}@SP{}@DRC{FF0000,3}@DR{10,90}@DRS{100,200}@SF{C6FFFF}@SFP{BRUSH5}"
    "@F01{1}@F01{1}@TXT2{big}@SFB{}@SFD{BRUSH13}@SCP{0000FF}@SCD{FF0000}@SCB{}@F01{0}@F01{1}@TXT3{end}";
const int32_t starts[] = {0, 120}, widths[] = {120, 200};
const ColumnTable columns = {0, starts, widths, 2};

items::Item state(int n) { return {400, 20, 0, 0, 0, 0, UINT(n % 2), ODA_DRAWENTIRE, n % 4 >= 2, false, &columns}; } // even or odd row, selected or not

// Pens made until the GDI table is full, less the last `spared`: pens(1).size() is its free room (Wine's
// GetGuiResources counts nothing). With the table nearly full, an object a paint keeps shows as one pen fewer.
std::vector<guard::Pen> pens(size_t spared)
{
    std::vector<guard::Pen> made;
    while (made.size() < 100000 && made.emplace_back(CreatePen(PS_SOLID, 1, 0)).get() != nullptr) {}
    made.resize(made.size() > spared ? made.size() - spared : 0);
    return made;
}
// Pieces of item text that the generator strings together and splices into real items.
std::string piece(std::mt19937& rng)
{
    static const char* const pieces[] = {"\x82", "\x83", "\x86", "@", ",", ";", " ", "{", "}", "|", "-", "0", "1", "2", "3",
                                         "x", "FF", "0x", "2147483647", "-2147483648", "4294967296", "-99999999999999999999",
                                         "FF0000D80000", "BRUSH5", "ICOB011", "NOSUCHBITMAP", "@ZZZ", "@COL", "@HIDE", "@TXT "};
    const unsigned pick = rng() % 40;
    return pick < 30   ? std::string(pieces[pick])
           : pick < 36 ? std::string(markup_commands[rng() % markup_command_count].word)
           : pick < 38 ? std::string(1, char(1 + rng() % 255))  // any byte but the terminator
                       : std::string(501 + rng() % 600, "A9@ \x86"[rng() % 5]);  // over-long words and fields
}

// Commands that read numbers, given small ones (codes, modes, columns, text flags) or any 32-bit ones.
std::string numbers(std::mt19937& rng)
{
    static const char* const words[] = {"@OFS", "@X", "@XE", "@D", "@XCOL", "@DTA", "@BKM", "@SEP", "@TREE", "@EL", "@FL",
                                        "@DRC", "@DR", "@DRS", "@F01", "@CL", "@CSL", "@CS", "@CD", "@CA", "@CR", "@TXT"};
    const auto number = [&rng] { return std::to_string(rng() % 2 ? int(rng() % 16) - 3 : int(rng())); };
    std::string text;
    for (unsigned n = 1 + rng() % 12; n > 0; --n) {
        const size_t w = rng() % std::size(words);
        text += words[w] + ("{" + number() + "," + number() + ",ab}");
    }
    return text;
}

// Random texts, the full item mutated, numeric commands and the full item itself, with the GDI table nearly full:
// no paint keeps an object or another font, and the full item paints the same at the end as at the start.
constexpr int PAINTS = 8000;

TEST(Soak, NoPaintKeepsAnObjectAndNoTextBreaksTheRenderer)
{
    std::vector<items::Rendered> first;
    for (int n = 0; n < 4; ++n)
        first.push_back(items::render(EVERY_COMMAND, state(n)));
    const auto filler = pens(64);
    const size_t room = pens(1).size();
    std::mt19937 rng(20261207);
    for (int i = 0; i < PAINTS + 4; ++i) {
        const int kind = i < PAINTS ? i % 4 : 3;
        std::string text = kind == 2 ? numbers(rng) : kind ? EVERY_COMMAND : "";
        for (unsigned n = 1 + rng() % 40; kind == 0 && n > 0; --n)
            text += piece(rng);
        for (unsigned n = 1 + rng() % 8; kind == 1 && n > 0 && !text.empty(); --n) {
            const size_t at = rng() % text.size();
            if (rng() % 2)
                text.insert(at, piece(rng));
            else
                text.erase(at, rng() % 12);
        }
        items::Item item = state(kind == 3 ? (i < PAINTS ? i / 4 : i) : int(rng() % 4));
        item.scale = i % 8 == 5 ? 1.5 : 1.0;  // through the frame, or some mutated items at another scale
        {
            const items::Rendered r = items::render(text.substr(0, 3000), item);
            ASSERT_EQ(r.font_after, items::list_font()) << "text " << i;
            for (int y = 0; i >= PAINTS && y < r.canvas->height; ++y)
                for (int x = 0; x < r.canvas->width; ++x)
                    ASSERT_EQ(r.at(x, y), first[i % 4].at(x, y)) << "last paint of state " << i % 4 << " "
                                                                << pixels::pixel_message(x, y, r.at(x, y), first[i % 4].at(x, y));
        }
        ASSERT_EQ(pens(1).size(), room) << "text " << i << " kept an object: " << text.substr(0, 3000);
    }
}

} // namespace
