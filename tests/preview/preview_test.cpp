// markup-preview.exe run from outside: exit codes, messages, --check lines, the pixels of its images.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/item_render.h"
#include "support/files.h"
#include "owndraw/markup/markup.h"

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

struct Result { int exit = -1; std::string out, err; Image image; };

std::string commands_only(const std::string& out) // without the warning lines of --check
{
    std::string kept;
    for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        if (out.compare(at, 9, "warning: ") != 0)
            kept += out.substr(at, end + 1 - at);
    return kept;
}

// Runs the tool in a fresh folder; {in} names a file of `input`; --out `out` (unless empty) is written exactly when it succeeds.
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
    run.exit = std::system(("\"\"" + test::windows_path(MARKUP_PREVIEW_EXE) + "\" " + to + args + " >\"" + in("1") + "\" 2>\"" + in("2") + "\"\"").c_str());
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
    {R"(--check --text abc@TXT7\x82x@y\x82z\x83def@XCOL2\x8240\x83ghi)", "", "", 0, "@TXT7\t@TXT\tx@y\\x82z\n@XCOL2\tignored\t40\ntext: x@y z\n"},
    {R"(--check --text @CSL3\x82\x83@CSX\x82\x83@CAPTION\x82\x83@COL\x82\x83@HIDE\x82e)", "", "", 0, "@CSL3\t@CSL\t\n@CSX\t@CS\t\n@CAPTION\t@CA\t\n@COL\tignored\t\n@HIDE\tignored\te\ntext: \n"},
    {R"(--check --text @TXT\x20\x82\\\x83@SEP\x20\x82\xe8\x83@SEP)", "", "", 0, "@TXT \t@TXT\t\\x5C\n@SEP \tignored\t\\xE8\n@SEP\t@SEP\t\ntext: \\x5C\n"},
    {R"(--check --text @TXT\x09x)", "", "", 0, "(plain)\tline\t@TXT\\x09x\ntext: @TXT\\x09x\n"},
    {"--check --text-file {in}", std::string("@X\x82" "5\x83@Y\0@Z", 9), "", 0, "@X\t@X\t5\n@Y\tignored\t\ntext: \n"},
    {"--check --list {in}", "a\r\n@SEP\\x82" "1\n", "", 0, "row 0\n(plain)\tline\ta\ntext: a\nrow 1\n@SEP\t@SEP\t1\ntext: \n"},
    {"--text Hg --width 60 --left 10 --top 5 --canvas 80,30 --selected", "", "o.bmp", 0, "",
     {{0, 0, 80, 5, WHITE, false}, {0, 0, 10, 30, WHITE, false}, {70, 0, 80, 30, WHITE, false}, {0, 25, 80, 30, WHITE, false}, {10, 5, 70, 8, HIGHLIGHT, false}, {10, 5, 30, 25, HIGHLIGHT, true}, {30, 5, 70, 25, HIGHLIGHT, false}}},
    {"--text Hg --width 60 --focus", "", "o.bmp", 0, "", {{0, 0, 60, 1, BLACK, false}, {59, 0, 60, 20, BLACK, false}, {1, 1, 59, 19, WINDOW, true}}},
    {"--text Hg --width 60 --focus --selected --scale 2", "", "o.bmp", 0, "", {{0, 0, 60, 1, HIGHLIGHT, false}, {1, 1, 59, 19, HIGHLIGHT, true}}},
    // At 144 dots per inch @X 50 is at 75, and the list font is half as tall again.
    {R"(--text @X\x8250\x83@SEP\x820\x83@TXT\x82H\x83 --width 120 --height 30 --dpi 144)", "", "o.bmp", 0, "", {{50, 0, 51, 30, BLACK, true}, {75, 0, 76, 5, BLACK, false}, {76, 0, 120, 9, WHITE, false}, {76, 9, 120, 10, WHITE, true}}},
    {"--text a --dpi 120 --scale 2", "", "o.bmp", 2, "--dpi or --scale"},
    {"--list {in} --dpi 120", "a\n", "o.bmp", 2, "--dpi"},
    {"--text Hg --width 60 --action focus --focus --selected", "", "o.bmp", 0, "", {{0, 0, 60, 1, WHITE, true}, {1, 1, 59, 19, WHITE, false}}},
    {"--text Hg --width 60 --action 3 --selected", "", "o.bmp", 0, "", {{0, 0, 60, 20, WHITE, false}}},
    {"--text Hg --width 60 --item 2 --selected", "", "o.bmp", 0, "", {{1, 1, 59, 19, HIGHLIGHT, true}}},
    {"--text-file {in} --width 60", std::string(65536, '.') + "@RECT\x82" "0000FF\x83", "o.bmp", 0, "", {{0, 0, 60, 20, 0xFF0000, false}}}, // 64 KiB, drawn whole
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
    {"--text a", "", "nowhere\\o.bmp", 1, "nowhere\\o.bmp: the folder does not exist"},
    {"--text a --strict", "", "", 2, "--strict goes with --check"},
    {"--version --text a", "", "", 0, "markup-preview 4.2\n"},
};

TEST(Preview, RunsAsItsTableSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result run = run_tool(c.args, c.input, c.out);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        EXPECT_TRUE(c.exit ? run.err.find(c.output) != std::string::npos && run.err.find('\n') == run.err.size() - 1
                           : commands_only(run.out) == c.output && run.err.empty()) << "stdout: " << run.out << "stderr: " << run.err;
        EXPECT_TRUE(!std::strstr(c.out, ".png") || run.image.bytes.compare(0, 4, "\x89PNG") == 0);
        for (const Probe& probe : c.probes)
            expect_probe(run.image, probe);
    }
}

// --check: each mistake a "warning: OFFSET: MESSAGE" line (OFFSET in the row) after the row's; --strict: exit code 3 if any.
struct Warned { int row; size_t offset; const char* words; };
struct CheckCase { std::string args; std::string input; int exit; std::vector<Warned> warnings; };
const std::string word_499 = "@" + std::string(498, 'W'), word_500 = word_499 + "W";

const CheckCase check_cases[] = {
    {R"(--strict --text @TXT\x82Client\x83\x20@X\x8210\x83\x0D\x0A@TXT1\x82\x20a@b\x83@F01\x82\x83@LIN)", "", 0, {}},
    {R"(--strict --columns 0:100,100:50 --text @CL\x821;Total\x83@CA\x820;FFFFFFC8DCFF\x86ICOB011\x86Label_15_bytes_\x20body\x83@CR\x821;ffffffc8dcff\x83@XCOL\x821\x83@SFP\x82brush15\x83@TREE\x8216;0123\x83@DRC\x82FF0000;4\x83@DRS\x820,10\x83@FRG\x82FFFFFF\x83)", "", 0, {}},
    {"--strict --text a@TXT", "", 0, {}},
    {R"(--strict --text @TXX1\x82a\x83@grect\x82\x83@FOO\x82\x83)", "", 3, {{0, 0, "@TXX1: no such command; did you mean @TXT?"}, {0, 8, "did you mean @GRECT?"}, {0, 16, "@FOO: no such command; it is ignored"}}},
    {R"(--text @SEP\x20\x821\x83@TXT\x20\x82ok\x83)", "", 0, {{0, 0, "blank between @SEP and its argument"}}},
    {R"(--strict --text @TXT\x82Client@X\x8225\x83@TXT\x82VORAN)", "", 3, {{0, 0, "not closed with \\x83 before @X"}, {0, 17, "runs to the end of the text"}}},
    {R"(--strict --text abc@LIN@TXT\x82x\x83\x20def\x20\x83)", "", 3, {{0, 0, "dropped: \"abc\""}, {0, 3, "no \\x82 after @LIN"}, {0, 15, "dropped: \"def \\x83\""}}},
    {R"(--strict --text @X\x82abc\x83@D\x82\x83@DR\x8210\x83@DRC\x82FF0000\x83@DRS\x821,x\x83)", "", 3, {{0, 0, "\"abc\" is not a number"}, {0, 7, "@D needs a number"}, {0, 11, "one number only"}, {0, 18, "no count"}, {0, 30, "TO \"x\" is not a number"}}},
    {R"(--strict --text @FRG\x82#0000FF\x83@BCK\x82GG0000\x83@GRECT\x82FF0000\x83@PEN\x82\x83)", "", 3, {{0, 0, "without '#'"}, {0, 13, "\"GG0000\" is not a hexadecimal colour"}, {0, 25, "\"FF0000\" is not a colour pair of twelve"}, {0, 39, "@PEN needs a colour"}}},
    {R"(--strict --columns 0:100,100:50 --text @CL\x822;x\x83@XCOL\x82-1\x83@CS\x821\x83)", "", 3, {{0, 0, "column 2 is outside the table of 2 columns"}, {0, 8, "column -1 is outside"}, {0, 17, "@CS needs COLUMN;TEXT"}}},
    {R"(--strict --text @CD\x820;x\x83)", "", 3, {{0, 0, "no column table is given"}}},
    {R"(--strict --text @BMP\x82ICOB011\x83@BBK\x82ICOX\x83@SFD\x82brush13\x83@RBR\x82\x83)", "", 3, {{0, 13, "no bitmap \"ICOX\""}, {0, 36, "@RBR needs a bitmap name"}}},
    {R"(--strict --columns 0:100 --text @CA\x820;FFFFFFC8DCFF\x86ICOB011\x86Label_of_16_byte\x20body\x83@CR\x820;FFFFFFC8DCFF0000\x83@SFP\x82BRUSH1________________x\x83@SFD\x82BRUSH1_________________x\x83)", "", 3,
     {{0, 0, "the label \"Label_of_16_byte\" is cut at 15 bytes"}, {0, 49, "colour pair \"FFFFFFC8DCFF0000\" is cut at 15 bytes"}, {0, 49, "not a colour pair"}, {0, 72, "no bitmap"}, {0, 101, "cut at 23 characters"}, {0, 101, "no bitmap \"BRUSH1_________________\""}}},
    {"--strict --text-file {in}", word_499 + "\x82\x83" + word_500 + "\x82\x83", 3, {{0, 0, "no such command"}, {0, 501, "of 500 bytes is cut at 499 bytes"}, {0, 501, "no such command"}}},
    {R"(--strict --text @TREE\x8216\x83@TREE\x82x;12x\x83)", "", 3, {{0, 0, "no ',' or ';' before the cell codes"}, {0, 9, "does not begin with a cell width"}, {0, 9, "\"x\" in \"12x\" is not a cell code"}}},
    {"--strict --list {in}", "@TXT\\x82ok\\x83\n  @TXX\\x82a\\x83@SP\\x82x\\x83\n@LIN\\x82\\x83\n", 3, {{1, 2, "did you mean @TXT?"}, {1, 9, "@SP takes no argument"}}},
};

TEST(Preview, CheckNamesEachMistake)
{
    for (const CheckCase& c : check_cases) {
        SCOPED_TRACE(c.args);
        const Result run = run_tool("--check " + c.args, c.input, "");
        EXPECT_EQ(run.exit, c.exit) << run.err;
        std::vector<std::string> found; // "row:offset: message", in the order printed
        int row = 0;
        bool warned = false;
        for (size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string line = run.out.substr(at, end - at);
            if (line.compare(0, 4, "row ") == 0)
                row = std::atoi(line.c_str() + 4), warned = false;
            else if (line.compare(0, 9, "warning: ") == 0)
                found.push_back(std::to_string(row) + ":" + line.substr(9)), warned = true;
            else
                EXPECT_FALSE(warned) << "a command line after a warning: " << line;
        }
        ASSERT_EQ(found.size(), c.warnings.size()) << run.out;
        for (size_t i = 0; i < found.size(); ++i) {
            const std::string where = std::to_string(c.warnings[i].row) + ":" + std::to_string(c.warnings[i].offset) + ": ";
            EXPECT_TRUE(found[i].compare(0, where.size(), where) == 0 && found[i].find(c.warnings[i].words) != std::string::npos)
                << "want " << where << c.warnings[i].words << "\n got " << found[i];
        }
    }
}

// --help and -h list every option on a line of its own; a face the system lacks is named.
TEST(Preview, HelpsAndNamesTheFaceUsed)
{
    const Result help = run_tool("--help", "", ""), h = run_tool("-h --text x", "", "");
    EXPECT_EQ(help.exit, 0);
    EXPECT_EQ(help.out, h.out);
    for (const char* option : {"--out", "--text", "--text-file", "--list", "--width", "--height", "--left", "--top", "--canvas", "--item", "--selected",
                               "--focus", "--action", "--scale", "--dpi", "--columns", "--font", "--resources", "--select", "--check", "--strict", "--show", "--version"})
        EXPECT_NE(help.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
    const Result font = run_tool("--text x --font \"No Such Face,8\"");
    EXPECT_EQ(font.exit, 0);
    EXPECT_NE(font.err.find("no face \"No Such Face\"; \""), std::string::npos) << font.err;
}

// The mark-up reference: a section per command word in dispatch order, each picture beside its item texts.
TEST(Preview, ReferenceCoversEveryWord)
{
    const std::string docs = SOURCE_DIR "/docs/", reference = test::read_file(docs + "markup-reference.md");
    size_t previous = 0;
    for (size_t i = 0; i < markup_command_count; ++i) {
        const size_t at = reference.find(std::string("\n### ") + markup_commands[i].word + "\n");
        EXPECT_TRUE(at != std::string::npos && at > previous) << markup_commands[i].word << " has no section, or not in the dispatch order";
        previous = at == std::string::npos ? previous : at;
    }
    int pictures = 0;
    for (size_t at = 0; (at = reference.find("](reference/", at)) != std::string::npos; at += 2) {
        const std::string link = reference.substr(at + 2, reference.find(')', at) - at - 2), name = link.substr(0, link.size() - 4);
        if (link.compare(name.size(), 4, ".png") == 0 && ++pictures) {
            EXPECT_TRUE(test::file_exists(docs + link) && test::file_exists(docs + name + ".txt")) << link;
        }
    }
    EXPECT_GE(pictures, 43);
}

// One item's image is what a list box shows in that row, and what the in-process renderer paints.
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
