#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/file_copy.h"

namespace {

TEST(IsBlank, OnlySpacesCountAsBlank)
{
    struct Case { const char* text; int want; const char* why; } cases[] = {
        {"", 1, "empty"},
        {" ", 1, "one space"},
        {"     ", 1, "five spaces"},
        {" a", 0, "a letter after a space"},
        {"\t", 0, "a tab is not a space"},
        {"C:\\VORAN", 0, "a path"},
        {"    x    ", 0, "text between spaces"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_blank(c.text), c.want) << c.why << ": \"" << c.text << "\"";
}

TEST(TrimTrailingBlanks, RemovesOnlyTrailingSpaces)
{
    struct Case { const char* text; const char* want; } cases[] = {
        {"C:\\VORAN  ", "C:\\VORAN"},
        {"   ", ""},
        {"", ""},
        {"  lead", "  lead"},
        {"tab\t", "tab\t"},
        {"tab\t  ", "tab\t"},
        {"a b ", "a b"},
    };
    for (const auto& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.text);
        trim_trailing_blanks(buffer);
        EXPECT_STREQ(buffer, c.want) << "from \"" << c.text << "\"";
    }
}

TEST(JoinPath, JoinsWithOneBackslashAndTrimsBothParts)
{
    struct Case { const char* folder; const char* name; const char* want; const char* why; } cases[] = {
        {"C:\\VORAN  ", "VORAN.INI", "C:\\VORAN\\VORAN.INI", "trailing spaces of the folder go"},
        {"C:\\", "VORAN.INI", "C:\\\\VORAN.INI", "a root keeps its own separator"},
        {"", "VORAN.INI", "\\VORAN.INI", "empty folder"},
        {" F:\\VORAN", "VORAN6.KEY", " F:\\VORAN\\VORAN6.KEY", "leading spaces stay"},
        {"F:\\VORAN", "NAME  ", "F:\\VORAN\\NAME", "trailing spaces of the name go"},
    };
    for (const auto& c : cases) {
        char out[JOINED_PATH_SIZE];
        EXPECT_TRUE(join_path(c.folder, c.name, out, sizeof out)) << c.why;
        EXPECT_STREQ(out, c.want) << c.why;
    }
}

TEST(JoinPath, CutsAtTheBufferAndSaysSo)
{
    const std::string folder(300, 'x');
    char out[JOINED_PATH_SIZE + 8];
    std::memset(out, '#', sizeof out);
    EXPECT_FALSE(join_path(folder.c_str(), "VORAN.INI", out, JOINED_PATH_SIZE));
    EXPECT_EQ(std::strlen(out), JOINED_PATH_SIZE - 1);
    for (size_t i = JOINED_PATH_SIZE; i < sizeof out; ++i)
        ASSERT_EQ(out[i], '#') << "written past the buffer at " << i;

    // A path that exactly fills the buffer still fits.
    const std::string fits(JOINED_PATH_SIZE - 1 - 2, 'y');
    EXPECT_TRUE(join_path(fits.c_str(), "Z", out, JOINED_PATH_SIZE));
    EXPECT_EQ(std::strlen(out), JOINED_PATH_SIZE - 1);
}

} // namespace
