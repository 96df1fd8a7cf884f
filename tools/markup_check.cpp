#include "tools/markup_check.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "owndraw/markup/syntax.h"
#include "owndraw/primitives/text.h"

using namespace owndraw;

namespace {

// How each command reads its argument, and so what can be wrong with it.
enum class Argument {
    free,        // any text, or a number where anything but 1 means "off" ("@F01")
    none,        // ignored
    number,      // a decimal number
    column,      // a decimal column number ("@XCOL")
    cell,        // column number, separator, text
    cell_fields, // column number, separator, colour pair, 0x86, bitmap, 0x86, label, text
    column_pair, // column number, separator, colour pair
    bitmap,      // a bitmap resource name
    color,       // a colour value, lowest byte red
    color_pair,  // twelve hexadecimal digits, red first
    tree,        // cell width, separator, cell codes
    range_color, // colour value, separator, count
    range,       // from, separator, to
    pattern,     // a bitmap name kept in a 24-byte store
};

struct ArgumentForm {
    const char* word;
    Argument form;
};
const ArgumentForm argument_forms[] = {
    {"@OFS", Argument::number},       {"@X", Argument::number},       {"@XE", Argument::number},
    {"@D", Argument::number},         {"@XCOL", Argument::column},    {"@BMP", Argument::bitmap},
    {"@BBK", Argument::bitmap},       {"@RBR", Argument::bitmap},     {"@CL", Argument::cell},
    {"@CSL", Argument::cell},         {"@CA", Argument::cell_fields}, {"@CS", Argument::cell},
    {"@CD", Argument::cell},          {"@CR", Argument::column_pair}, {"@TXT", Argument::free},
    {"@TXL", Argument::free},         {"@DTA", Argument::number},     {"@BCK", Argument::color},
    {"@BKM", Argument::number},       {"@FRG", Argument::color},      {"@PEN", Argument::color},
    {"@SEP", Argument::number},       {"@TREE", Argument::tree},      {"@LIN", Argument::none},
    {"@LINB", Argument::none},        {"@LINC", Argument::none},      {"@EL", Argument::number},
    {"@TL", Argument::none},          {"@FL", Argument::number},      {"@RECT", Argument::color},
    {"@GRECT", Argument::color_pair}, {"@SP", Argument::none},        {"@DRC", Argument::range_color},
    {"@DR", Argument::range},         {"@DRS", Argument::range},      {"@SF", Argument::color},
    {"@SFP", Argument::pattern},      {"@SFD", Argument::pattern},    {"@SFB", Argument::none},
    {"@SCP", Argument::color},        {"@SCD", Argument::color},      {"@SCB", Argument::none},
    {"@F01", Argument::free},
};

Argument form_of(const MarkupCommand& command)
{
    for (const ArgumentForm& entry : argument_forms)
        if (std::strcmp(entry.word, command.word) == 0)
            return entry.form;
    return Argument::free;
}

bool is_white(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A quoted excerpt for a message: long texts are cut, so that a warning stays one line
// an author can read.
std::string quote(const std::string& text)
{
    constexpr size_t QUOTE_MAX = 40;
    if (text.size() <= QUOTE_MAX)
        return '"' + escaped(text) + '"';
    return '"' + escaped(text.substr(0, QUOTE_MAX)) + "...\"";
}

// Edit distance between two words, letters compared without regard to case.
size_t distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::toupper(static_cast<unsigned char>(a[i - 1])) ==
                              std::toupper(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The table word closest to `name`: one edit away (two for words of five bytes or more),
// a prefix word also compared with as many leading bytes of the name; nullptr when none is.
const char* nearest_word(const std::string& name)
{
    const char* best = nullptr;
    size_t best_distance = SIZE_MAX;
    for (size_t i = 0; i < markup_command_count; ++i) {
        const MarkupCommand& command = markup_commands[i];
        size_t d = distance(name, command.word);
        if (command.prefix > 0)
            d = std::min(d, distance(name.substr(0, static_cast<size_t>(command.prefix)), command.word));
        const size_t allowed = std::strlen(command.word) >= 5 ? 2 : 1;
        if (d <= allowed && d < best_distance) {
            best = command.word;
            best_distance = d;
        }
    }
    return best;
}

// The warnings of one text, in the order found.
class Report {
public:
    Report(const std::string& text, const CheckContext& context) : text_(text), context_(context) {}

    void add(size_t offset, const std::string& message)
    {
        lines_ += "warning: " + std::to_string(offset) + ": " + message + "\n";
        ++count_;
    }
    int print() const
    {
        std::fputs(lines_.c_str(), stdout);
        return count_;
    }

    // Bytes the lexer passes over between commands; blanks and line ends between commands
    // are layout, anything else is a mistake.
    void check_dropped(const char* from, const char* to)
    {
        while (from < to && is_white(*from))
            ++from;
        while (to > from && is_white(to[-1]))
            --to;
        if (from < to)
            add(offset(from), "text outside commands is dropped: " + quote(std::string(from, to)));
    }

    // The command word that begins at `at`; `command` is its table row or nullptr.
    void check_word(const char* at, const std::string& word, const MarkupCommand* command)
    {
        const size_t length = command_word_length(at);
        if (length >= COMMAND_NAME_SIZE)
            add(offset(at), "the command word " + quote(word) + " of " + std::to_string(length) +
                                " bytes is cut at " + std::to_string(COMMAND_NAME_SIZE - 1) +
                                " bytes, the size of the word store");
        if (const size_t second = word.find(COMMAND_START, 1); second != std::string::npos) {
            add(offset(at), quote(word) + ": there is no \\x82 after " + escaped(word.substr(0, second)) +
                                ", so the word runs on into " + escaped(word.substr(second)) +
                                (command ? "" : "; it is ignored"));
            return;
        }
        if (command != nullptr)
            return;
        std::string trimmed = word;
        while (!trimmed.empty() && is_white(trimmed.back()))
            trimmed.pop_back();
        if (trimmed != word && find_markup_command(trimmed.c_str()) != nullptr) {
            add(offset(at), quote(word) + ": the blank between " + escaped(trimmed) +
                                " and its argument makes the word unknown; the command is ignored");
            return;
        }
        const char* closest = nearest_word(word);
        add(offset(at), escaped(word) + ": no such command" +
                            (closest ? std::string("; did you mean ") + closest + "?" : "; it is ignored"));
    }

    // An argument that ARG_CLOSE does not end before the next command, or at all.
    void check_closing(const char* at, const std::string& word, const char* arg, bool closed)
    {
        if (closed && std::strchr(arg, ARG_OPEN) == nullptr)
            return;
        std::string swallowed;
        std::vector<char> inner_word(COMMAND_NAME_SIZE);
        std::vector<char> inner_arg(std::strlen(arg) + 1);
        for (const char* cursor = arg; *cursor != '\0';) {
            next_command(&cursor, inner_word.data(), inner_word.size(), inner_arg.data());
            if (inner_word[0] != '\0')
                swallowed += (swallowed.empty() ? "" : ", ") + escaped(inner_word.data());
        }
        if (!closed)
            add(offset(at), escaped(word) + ": the argument is not closed with \\x83, so it runs to the end of the text" +
                                (swallowed.empty() ? "" : " and swallows " + swallowed));
        else if (swallowed.empty())
            add(offset(at), escaped(word) + ": the argument holds a second \\x82; is a \\x83 missing before it?");
        else
            add(offset(at), escaped(word) + ": the argument is not closed with \\x83 before " + swallowed +
                                ", which it swallows as text");
    }

    void check_argument(const char* at, const MarkupCommand& command, const std::string& word, char* arg)
    {
        at_ = at;
        name_ = escaped(word);
        const std::string args = quote(arg);
        int number = 0;
        switch (form_of(command)) {
        case Argument::free:
            break;
        case Argument::none:
            if (!is_blank(arg))
                warn(" takes no argument; " + args + " is ignored");
            break;
        case Argument::number:
            expect_number(arg, "a number");
            break;
        case Argument::column:
            if (expect_number(arg, "a column number"))
                expect_column(read_decimal(arg));
            break;
        case Argument::cell:
        case Argument::cell_fields:
        case Argument::column_pair:
            check_cell(command, arg);
            break;
        case Argument::bitmap:
            if (is_blank(arg))
                warn(" needs a bitmap name; without one it draws nothing");
            else
                expect_bitmap(arg);
            break;
        case Argument::color:
            expect_color(arg);
            break;
        case Argument::color_pair:
            expect_pair(arg);
            break;
        case Argument::tree:
            check_tree(arg);
            break;
        case Argument::range_color:
            expect_color(arg);
            if (std::strpbrk(arg, INDEX_SEPARATORS) == nullptr)
                warn(" needs COLOUR,COUNT: " + args + " has no count, so the count stays as it was");
            else if (!read_int(text_part(arg), &number))
                warn(": the count " + quote(text_part(arg)) + " is not a number");
            break;
        case Argument::range:
            if (!read_int(arg, &number))
                warn(": " + args + " does not begin with a number (FROM)");
            if (std::strpbrk(arg, INDEX_SEPARATORS) == nullptr)
                warn(" needs FROM,TO: " + args + " has one number only, so TO stays as it was");
            else if (!read_int(text_part(arg), &number))
                warn(": TO " + quote(text_part(arg)) + " is not a number");
            break;
        case Argument::pattern: {
            if (std::strlen(arg) > PATTERN_NAME_MAX)
                warn(": the pattern name " + args + " is cut at " + std::to_string(PATTERN_NAME_MAX) +
                     " characters, the size of its store");
            char name[PATTERN_NAME_SIZE];
            read_pattern_name(arg, name);
            if (!is_blank(name))
                expect_bitmap(name);
            break;
        }
        }
    }

private:
    size_t offset(const char* p) const { return static_cast<size_t>(p - text_.c_str()); }
    void warn(const std::string& rest) { add(offset(at_), name_ + rest); }

    bool expect_number(const char* arg, const char* what)
    {
        int value = 0;
        if (is_blank(arg))
            warn(std::string(" needs ") + what + "; without one it reads 0");
        else if (!read_int(arg, &value))
            warn(": " + quote(arg) + " is not " + what + "; it reads 0");
        else
            return true;
        return false;
    }

    void expect_column(int index)
    {
        const ColumnTable* table = context_.columns;
        if (table == nullptr || table->count <= 0)
            warn(": column " + std::to_string(index) + ", but no column table is given (--columns)");
        else if (index < 0 || index >= table->count)
            warn(": column " + std::to_string(index) + " is outside the table of " +
                 std::to_string(table->count) + " columns (0 to " + std::to_string(table->count - 1) + ")");
    }

    void expect_color(const char* arg)
    {
        unsigned long value = 0;
        const char* first = arg + std::strspn(arg, " \t");
        if (is_blank(arg) || std::strchr(INDEX_SEPARATORS, *first) != nullptr)
            warn(" needs a colour; the previous one stays");
        else if (!read_color(arg, &value) && *first == '#')
            warn(": " + quote(arg) + " is not a colour: write the hexadecimal digits without '#'");
        else if (!read_color(arg, &value))
            warn(": " + quote(arg) + " is not a hexadecimal colour; the previous one stays");
        else if (value > 0xFFFFFF)
            warn(": " + quote(arg) + " has more than six hexadecimal digits (BBGGRR)");
    }

    void expect_pair(const std::string& pair)
    {
        constexpr size_t PAIR_DIGITS = 12;
        const bool hex = std::all_of(pair.begin(), pair.end(), [](char c) { return hex_digit_value(c) >= 0; });
        if (pair.size() != PAIR_DIGITS || !hex)
            warn(": " + quote(pair) + " is not a colour pair of twelve hexadecimal digits (RRGGBBRRGGBB, red first)");
    }

    // A field of "@CA" or "@CR", kept in a store of CELL_FIELD_SIZE bytes.
    void expect_field(const char* what, const std::string& field)
    {
        if (field.size() >= CELL_FIELD_SIZE)
            warn(std::string(": the ") + what + " " + quote(field) + " is cut at " +
                 std::to_string(CELL_FIELD_SIZE - 1) + " bytes, the size of its field");
    }

    void expect_bitmap(const char* name)
    {
        if (FindResourceA(context_.resources, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */) == nullptr)
            warn(": there is no bitmap " + quote(name) + " in the resources");
    }

    void check_cell(const MarkupCommand& command, char* arg)
    {
        const Argument form = form_of(command);
        int index = 0;
        const bool separated = std::strpbrk(arg, INDEX_SEPARATORS) != nullptr;
        if (separated && !read_int(arg, &index))
            warn(": " + quote(arg) + " does not begin with a column number; it reads column 0");
        const char* part = read_column_argument(arg, &index);
        expect_column(index);
        if (!separated) {
            warn(form == Argument::cell ? " needs COLUMN;TEXT: without ',' or ';' there is no text"
                 : form == Argument::column_pair ? " needs COLUMN;RRGGBBRRGGBB: without ',' or ';' there is no colour pair"
                                                 : " needs COLUMN;COLOURS\\x86BITMAP\\x86LABEL TEXT: without ',' or ';' there are no fields");
            return;
        }
        if (form == Argument::column_pair) {
            expect_field("colour pair", part);
            expect_pair(part);
        } else if (form == Argument::cell_fields) {
            // The kit's own field splitter, with stores large enough to see what a field
            // of 16 bytes would lose.
            const size_t size = std::strlen(part) + 1;
            std::vector<char> work(part, part + size), pair(size), bitmap(size), label(size);
            split_three_fields(work.data(), pair.data(), size, bitmap.data(), size, label.data(), size);
            expect_field("colour pair", pair.data());
            expect_field("bitmap name", bitmap.data());
            expect_field("label", label.data());
            expect_pair(pair.data());
            if (!is_blank(label.data()) && !is_blank(bitmap.data()))
                expect_bitmap(bitmap.data());
        }
    }

    void check_tree(const char* arg)
    {
        int width = 0;
        const char* pattern = read_tree_argument(arg, &width);
        if (!read_int(arg, &width))
            warn(": " + quote(arg) + " does not begin with a cell width; it reads 0");
        if (pattern == nullptr) {
            warn(" needs WIDTH,CODES: " + quote(arg) + " has no ',' or ';' before the cell codes, so nothing is drawn");
            return;
        }
        const char* odd = pattern + std::strspn(pattern, "0123");
        if (*odd != '\0')
            warn(": " + quote(std::string(1, *odd)) + " in " + quote(pattern) +
                 " is not a cell code (0 to 3) and is skipped");
    }

    const std::string& text_;
    const CheckContext& context_;
    std::string lines_;
    int count_ = 0;
    const char* at_ = nullptr; // the command being checked
    std::string name_;         // its word, escaped
};

} // namespace

std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out;
}

namespace {

// What a screen reader, sorting and type-ahead get when the item is added with add_item.
void print_visible_text(const std::string& text)
{
    std::printf("text: %s\n", escaped(visible_text(text.c_str())).c_str());
}

} // namespace

int print_check(const std::string& text, const CheckContext& context)
{
    if (!is_markup(text.c_str())) {
        std::printf("(plain)\t%s\t%s\n", is_blank(text.c_str()) ? "nothing" : "line", escaped(text).c_str());
        print_visible_text(text);
        return 0;
    }
    Report report(text, context);
    std::vector<char> argument(text.size() + 1, '\0');
    char word[COMMAND_NAME_SIZE];
    const char* cursor = text.c_str();
    while (*cursor != '\0') {
        const char* at = find_command_start(cursor);
        report.check_dropped(cursor, at);
        next_command(&cursor, word, sizeof word, argument.data());
        if (word[0] == '\0')
            break; // only text without commands was left; the interpreter drops it
        const MarkupCommand* command = find_markup_command(word);
        std::printf("%s\t%s\t%s\n", escaped(word).c_str(), command ? command->word : "ignored",
                    escaped(argument.data()).c_str());
        // The lexer stepped over ARG_CLOSE when there was one; without ARG_OPEN the word ran
        // to the end of the text and took no argument.
        const bool opened = at[command_word_length(at)] == ARG_OPEN;
        report.check_word(at, word, command);
        if (opened)
            report.check_closing(at, word, argument.data(), cursor[-1] == ARG_CLOSE);
        if (command != nullptr)
            report.check_argument(at, *command, word, argument.data());
    }
    print_visible_text(text);
    return report.print();
}
