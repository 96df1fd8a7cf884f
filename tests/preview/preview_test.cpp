// markup-preview.exe run from outside: exit codes, messages, --check lines and the pixels
// of the image files it writes, read back from disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/item_render.h"
#include "support/files.h"

using namespace owndraw;

namespace {

using pixels::Rgb;
constexpr Rgb SYS = 0x1000000, WINDOW = SYS | COLOR_WINDOW, HIGHLIGHT = SYS | COLOR_HIGHLIGHT, WHITE = 0xFFFFFF, BLACK = 0; // SYS | index: that system colour

struct Probe { int x0, y0, x1, y1; Rgb colour; bool ink; }; // every pixel of the box is `colour`; with `ink`, some is not
// exit 0: `output` is all of stdout; otherwise part of the one line on stderr.
struct Case { const char* args; std::string input; const char* out; int exit; const char* output; std::vector<Probe> probes = {}; };

struct Image { // a plain 24-bit bottom-up BMP file: width field(18), height field(22); no pixels otherwise
    std::string bytes;
    int field(size_t at) const { int v = 0; if (bytes.size() >= 54 && bytes[28] == 24) std::memcpy(&v, bytes.data() + at, 4); return v; }
    Rgb at(int x, int y) const // 0x1000000 outside the image
    {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + field(10) + (field(22) - 1 - y) * ((field(18) * 3 + 3) & ~3) + x * 3;
        return x < 0 || y < 0 || x >= field(18) || y >= field(22) ? 0x1000000 : (p[2] << 16) | (p[1] << 8) | p[0];
    }
};

std::string tool_path() // beside this program or in a folder above it
{
    char module[MAX_PATH] = "";
    for (std::string folder(module, GetModuleFileNameA(nullptr, module, MAX_PATH)); folder.find_last_of("\\/") != std::string::npos;)
        if (test::file_exists(folder.erase(folder.find_last_of("\\/")) + "\\markup-preview.exe"))
            return folder + "\\markup-preview.exe";
    return "markup-preview.exe";
}

struct Result { int exit = -1; std::string out, err; Image image; };

// Runs the tool in a fresh folder; {in} in `args` names a file of `input`, --out names `out`
// (unless empty). The image is written exactly when the run succeeds, never partly.
Result run_tool(std::string args, const std::string& input = "", const char* out = "o.bmp")
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    static int runs = 0; // a folder of its own for every run
    struct Folder { std::string path; ~Folder() { test::remove_tree(path); } } dir{
        std::string(temp) + "cs-preview-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs)};
    CreateDirectoryA(dir.path.c_str(), nullptr);
    const auto in = [&](const std::string& name) { return dir.path + "\\" + name; };
    test::write_file(in("in.txt"), input);
    if (const size_t at = args.find("{in}"); at != std::string::npos)
        args.replace(at, 4, '"' + in("in.txt") + '"');
    const std::string to = *out ? "--out \"" + in(out) + "\" " : "";
    Result run;
    run.exit = std::system(("\"\"" + tool_path() + "\" " + to + args + " >\"" + in("1") + "\" 2>\"" + in("2") + "\"\"").c_str());
    run.out = test::read_file(in("1")), run.err = test::read_file(in("2")), run.image.bytes = *out ? test::read_file(in(out)) : "";
    EXPECT_FALSE(*out && test::file_exists(in(out) + ".part")) << args;
    EXPECT_EQ(*out && test::file_exists(in(out)), *out && run.exit == 0) << "written? " << args;
    return run;
}

// Every pixel of `a` in the box equals the one of `b` at (x, y + dy).
template <typename Other> void expect_same(const Image& a, const Other& b, int x0, int y0, int x1, int y1, int dy = 0)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            ASSERT_EQ(a.at(x, y), b.at(x, y + dy)) << pixels::pixel_message(x, y, a.at(x, y), b.at(x, y + dy)) << ", other image " << dy << " rows lower";
}

void expect_probe(const Image& image, const Probe& p)
{
    const Rgb want = p.colour & SYS ? items::sys_rgb(p.colour & 0xFF) : p.colour;
    for (int y = p.y0; y < p.y1; ++y)
        for (int x = p.x0; x < p.x1; ++x)
            if (image.at(x, y) != want) {
                EXPECT_TRUE(p.ink) << pixels::pixel_message(x, y, image.at(x, y), want);
                return;
            }
    EXPECT_FALSE(p.ink) << "no ink on " << pixels::hex(want) << " in (" << p.x0 << "," << p.y0 << ")-(" << p.x1 << "," << p.y1 << ")";
}

const Case cases[] = {
    // --check: lexing and dispatch, seen before any handler draws. Then placement, frame and item state.
    {R"(--check --text abc@TXT7\x82x@y\x83def@XCOL2\x8240\x83ghi)", "", "", 0, "@TXT7\t@TXT\tx@y\n@XCOL2\tignored\t40\n"},
    {R"(--check --text @CSL3\x82\x83@CSX\x82\x83@CAPTION\x82\x83@COL\x82\x83@HIDE\x82e)", "", "", 0, "@CSL3\t@CSL\t\n@CSX\t@CS\t\n@CAPTION\t@CA\t\n@COL\tignored\t\n@HIDE\tignored\te\n"},
    {R"(--check --text @TXT\x20\x82\\\x83@SEP\x20\x82\xe8\x83@SEP)", "", "", 0, "@TXT \t@TXT\t\\x5C\n@SEP \tignored\t\\xE8\n@SEP\t@SEP\t\n"},
    {R"(--check --text @TXT\x09x)", "", "", 0, "(plain)\tline\t@TXT\\x09x\n"},
    {"--check --text-file {in}", std::string("@X\x82" "5\x83@Y\0@Z", 9), "", 0, "@X\t@X\t5\n@Y\tignored\t\n"},
    {"--check --list {in}", "a\r\n@SEP\\x82" "1\n", "", 0, "row 0\n(plain)\tline\ta\nrow 1\n@SEP\t@SEP\t1\n"},
    {"--text Hg --width 60 --left 10 --top 5 --canvas 80,30 --selected", "", "o.bmp", 0, "",
     {{0, 0, 80, 5, WHITE, false}, {0, 0, 10, 30, WHITE, false}, {70, 0, 80, 30, WHITE, false}, {0, 25, 80, 30, WHITE, false}, {10, 5, 70, 8, HIGHLIGHT, false}, {10, 5, 30, 25, HIGHLIGHT, true}, {30, 5, 70, 25, HIGHLIGHT, false}}},
    {"--text Hg --width 60 --focus", "", "o.bmp", 0, "", {{0, 0, 60, 1, BLACK, false}, {59, 0, 60, 20, BLACK, false}, {1, 1, 59, 19, WINDOW, true}}},
    {"--text Hg --width 60 --focus --selected --scale 2", "", "o.bmp", 0, "", {{0, 0, 60, 1, HIGHLIGHT, false}, {1, 1, 59, 19, HIGHLIGHT, true}}},
    {"--text Hg --width 60 --action focus --focus --selected", "", "o.bmp", 0, "", {{0, 0, 60, 1, WHITE, true}, {1, 1, 59, 19, WHITE, false}}},
    {"--text Hg --width 60 --action 3 --selected", "", "o.bmp", 0, "", {{0, 0, 60, 20, WHITE, false}}},
    {"--text Hg --width 60 --item 2 --selected", "", "o.bmp", 0, "", {{1, 1, 59, 19, HIGHLIGHT, true}}},
    {"--text Hg --width 60 --font \"MS Sans Serif,24\" --columns 0:30,30:30", "", "o.png", 0, ""},
    {"--text Hg --width 60 --font \"MS Sans Serif,24\" --selected", "", "o.bmp", 0, "", {{0, 0, 60, 3, HIGHLIGHT, true}}},
    // Bad usage (2) and bad input or output (1): one line naming the problem, no file.
    {"--width 5", "", "o.bmp", 2, "give one of --text"},
    {"--text a --list {in}", "", "o.bmp", 2, "only one of"},
    {"--text a --colour 1", "", "o.bmp", 2, "\"--colour\""},
    {"--text a --width", "", "o.bmp", 2, "--width needs a value"},
    {"--text a --height 0", "", "o.bmp", 2, "--height: \"0\""},
    {R"(--text a\q)", "", "o.bmp", 2, "bad escape \"\\q\""},
    {"--text a", "", "o.gif", 2, ".gif\" does not end in .bmp or .png"},
    {"--text a", "", "", 2, "--out is missing"},
    {"--text a --columns 10", "", "o.bmp", 2, "--columns"},
    {"--text a --font Arial", "", "o.bmp", 2, "--font"},
    {"--list {in} --item 1", "a\n", "o.bmp", 2, "--item"},
    {"--list {in} --select 1", "a\n", "o.bmp", 2, "--select 1"},
    {"--text-file nowhere.txt", "", "o.bmp", 1, "nowhere.txt"},
    {"--list {in}", "ok\n\\q\n", "o.bmp", 1, "in.txt:2: bad escape"},
    {"--text a --resources nowhere.dll", "", "o.bmp", 1, "nowhere.dll"},
    {"--text a", "", "nowhere\\o.bmp", 1, "--out"},
};

TEST(Preview, RunsAsItsTableSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result run = run_tool(c.args, c.input, c.out);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        EXPECT_TRUE(c.exit ? run.err.find(c.output) != std::string::npos && run.err.find('\n') == run.err.size() - 1
                           : run.out == c.output) << "stdout: " << run.out << "stderr: " << run.err;
        EXPECT_TRUE(!std::strstr(c.out, ".png") || run.image.bytes.compare(0, 4, "\x89PNG") == 0);
        for (const Probe& probe : c.probes)
            expect_probe(run.image, probe);
    }
}

// The image of one item is what a list box in a window shows in that row, and what the
// in-process renderer paints.
TEST(Preview, MatchesTheListBoxItShows)
{
    const std::string rows[] = {"Hg", "x@y", "plain"};
    const Image list = run_tool("--list {in} --select 1 --width 60 --height 18", "Hg\nx@y\nplain\n").image;
    // Under Wine the focused row gets its dotted frame from a separate ODA_FOCUS request.
    for (int row = 0; row < 3; ++row)
        expect_same(run_tool("--width 60 --height 18 --item " + std::to_string(row) + (row == 1 ? " --selected" : "") + " --text " + rows[row]).image, list, 1, 1, 59, 17, row * 18);
    const items::Item in_process = {60, 20, 3, 2, 70, 25, 0, ODA_DRAWENTIRE, true, true}; // width, height, left, top, canvas, item, action, selected, focus
    expect_same(run_tool("--text Hg --width 60 --left 3 --top 2 --canvas 70,25 --selected --focus").image, items::render("Hg", in_process), 0, 0, 70, 25);
}

} // namespace
