// Nothing an item creates outlives it (every command, many thousands of paints), and no
// item text breaks the renderer (a seeded run of random and mutated texts).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/item_render.h"

using namespace owndraw;

namespace {

// All 43 words in under 512 bytes (see below); "@SFB" ends odd unselected rows with the font doubled twice.
const std::string EVERY_COMMAND =
    "@OFS{5}@X{10}@XE{300}@D{60}@XCOL{1}@BMP1{ICOB011}@BBK1{ICOB002}@RBR{BRUSH3}@CL{0,cell}@CSL{1,wrap it}"
    "@CA{0,FF0000D80000|ICOB011|Label body}@CS{1,left}@CD{0,right}@CR{1,DEEBFBF2F6FB}@TXT{text}@TXL{wrap it}"
    "@DTA{1}@BCK{C6FFFF}@BKM{1}@FRG{0000FF}@PEN{FF0000}@SEP{2}@TREE{10,123}@LIN{}@LINB{}@LINC{}@EL{0}@TL{}"
    "@FL{1}@RECT{00FF00}@GRECT{FFFF00FFFEBF}@SP{}@DRC{FF0000,3}@DR{10,90}@DRS{100,200}@SF{C6FFFF}@SFP{BRUSH5}"
    "@F01{1}@F01{1}@TXT2{big}@SFB{}@SFD{BRUSH13}@SCP{0000FF}@SCD{FF0000}@SCB{}@F01{0}@F01{1}@TXT3{end}";
const int32_t starts[] = {0, 120}, widths[] = {120, 200};
const ColumnTable columns = {0, starts, widths, 2};

items::Item state(int n)  // even or odd row, selected or not
{
    items::Item item;
    item.item_id = n % 2, item.selected = n % 4 >= 2, item.columns = &columns;
    return item;
}

// More paints than a process may hold GDI objects (10,000). Wine's table is larger and its GetGuiResources counts
// nothing, so the table is filled up to a small headroom first: a leak per paint runs it dry and paints go wrong.
constexpr size_t PAINTS = 10400, HEADROOM = 1000;

TEST(Soak, EveryCommandManyThousandTimesKeepsNoObject)
{
    std::vector<items::Rendered> first;
    for (int n = 0; n < 4; ++n)
        first.push_back(items::render(EVERY_COMMAND, state(n)));
    std::vector<guard::Pen> filler;
    while (filler.size() < 100000 && filler.emplace_back(CreatePen(PS_SOLID, 1, 0)).get() != nullptr) {}
    filler.resize(filler.size() > HEADROOM ? filler.size() - HEADROOM : 0);
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (size_t i = 0; i < PAINTS + 4; ++i) {
        const items::Rendered r = items::render(EVERY_COMMAND, state(int(i)));
        ASSERT_EQ(r.font_after, items::list_font()) << "paint " << i << " left another font in the DC";
        for (int y = 0; i >= PAINTS && y < r.canvas->height; ++y)
            for (int x = 0; x < r.canvas->width; ++x)
                ASSERT_EQ(r.at(x, y), first[i % 4].at(x, y)) << "last paint of state " << i % 4 << " "
                                                            << pixels::pixel_message(x, y, r.at(x, y), first[i % 4].at(x, y));
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects);
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

TEST(Robustness, RandomAndMutatedTextsPaintWithoutHarm)
{
    std::mt19937 rng(20261207);
    for (int i = 0; i < 4000; ++i) {
        std::string text = i % 2 ? EVERY_COMMAND : "";  // odd runs mutate the full item
        for (unsigned n = 1 + rng() % 40; i % 2 == 0 && n > 0; --n)
            text += piece(rng);
        for (unsigned n = 1 + rng() % 8; i % 2 && n > 0 && !text.empty(); --n) {
            const size_t at = rng() % text.size();
            if (rng() % 2)
                text.insert(at, piece(rng));
            else
                text.erase(at, rng() % 12);
        }
        items::Item item = state(int(rng() % 4));
        // The frame does not fetch texts beyond its buffer: longer ones go to the renderer
        // directly, at another scale.
        item.scale = text.size() < ITEM_TEXT_SIZE ? 1.0 : 1.5;
        const items::Rendered r = items::render(text.substr(0, 3000), item);
        ASSERT_EQ(r.font_after, items::list_font()) << "text " << i;
    }
}

} // namespace
