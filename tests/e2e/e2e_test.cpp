// The real setup.exe driven from outside: the dialog as first met, then one row per scenario (main
// path files, field texts, messages and answers; focus, exit code and folders afterwards).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "e2e/driver.h"
#include "support/accessible.h"

using namespace owndraw;

namespace {

using namespace e2e;

// The dialog as a person first meets it, and as a screen reader reads it from another process.
TEST(Dialog, CentredNamedWithTheDefaultsAndTheFocusAndPressAlwaysShow) {
    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    RECT r;
    GetWindowRect(run.dialog, &r);
    EXPECT_EQ(std::to_string((r.left + r.right - GetSystemMetrics(SM_CXSCREEN)) / 2) + "," + std::to_string((r.top + r.bottom - GetSystemMetrics(SM_CYSCREEN)) / 2), "0,0") << "off centre by x,y";
    EXPECT_NE(GetWindowLongA(run.dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "a title bar";
    EXPECT_EQ(run.text(MAIN_FIELD) + "|" + run.text(CLIENT_FIELD) + "|" + run.text(STATUS_LINE), "F:\\VORAN|C:\\VORAN|");
    for (int id : {MAIN_FIELD, CLIENT_FIELD})
        EXPECT_EQ(SendMessageA(run.control(id), EM_GETLIMITTEXT, 0, 0), 151) << "length limit of field " << id;
    // 0: the dialog. A role of 0: the one the platform's proxy gives is not checked.
    const long button_role = accessible::on_wine() ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PUSHBUTTON;
    const struct { int id; const char* name; const char* shortcut; long role; } names[] = {
        {0, "Installazione postazione client VORAN", "", 0}, {IDOK, "Conferma", "Alt+C", button_role}, {IDCANCEL, "Annulla", "Alt+A", button_role},
        {MAIN_FIELD, "Percorso installazione principale (SERVER):", "", ROLE_SYSTEM_TEXT}, {CLIENT_FIELD, "Percorso installazione remota (CLIENT):", "", ROLE_SYSTEM_TEXT}};
    for (const auto& c : names) {
        const auto spoken = accessible::speak(c.id ? run.control(c.id) : run.dialog);
        EXPECT_EQ(spoken.name + "|" + spoken.shortcut, std::string(c.name) + "|" + c.shortcut) << "control " << c.id;
        EXPECT_TRUE(c.role == 0 || spoken.role == c.role) << "control " << c.id << ": role " << spoken.role << ", want " << c.role;
    }
    // No name reads out a glyph.
    std::vector<HWND> children;
    EnumChildWindows(run.dialog, [](HWND child, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(child), TRUE; }, LPARAM(&children));
    EXPECT_EQ(children.size(), 7u) << "five controls and two labels";
    for (HWND child : children) {
        const std::string name = accessible::speak(child).name, text = window_text(child);
        EXPECT_TRUE(name.find('/') == std::string::npos && name.find("ICOB") == std::string::npos && text.find('/') == std::string::npos) << name;
    }
    // Main path, client path, Conferma, Annulla: the status line is no tab stop.
    for (int focus : {MAIN_FIELD, CLIENT_FIELD, IDOK, IDCANCEL}) {
        if (focus != MAIN_FIELD)
            run.key(VK_TAB);
        ASSERT_TRUE(wait_until([&] { return run.focus() == run.control(focus); })) << "no focus on " << focus;
        std::string ink;
        EXPECT_TRUE(wait_until([&] {
            ink.clear();
            for (int id : {IDOK, IDCANCEL})
                ink += (label_ink(run.control(id), 0xFF0000) > 20 ? "red " : "") + std::string(label_ink(run.control(id), 0) > 20 ? "black " : "");
            return ink == (focus == IDOK ? "red black " : focus == IDCANCEL ? "black red " : "black black ");
        }, 3000)) << "focus on " << focus << ", labels (Conferma, Annulla) " << ink;
    }
    // Focus and press show on Conferma, a whole repaint included: face row 0 (raised 0xBFC0BF, sunken white), the label.
    run.set_text(MAIN_FIELD, ""); // a blank field: Conferma does nothing
    HWND ok = run.control(IDOK);
    GetWindowRect(ok, &r);
    pixels::Canvas top(1, 1);
    const auto look = [&] {
        top.copy_from(guard::WindowDC(nullptr).get(), r.left + 30, r.top);
        const pixels::Rgb face = top.at(0, 0);
        return (face == 0xFFFFFF ? "sunken" : face == 0xBFC0BF ? "raised" : pixels::hex(face)) + std::string(label_ink(ok, 0xFF0000) > 20 ? " red" : " black");
    };
    SendMessageA(run.dialog, WM_NEXTDLGCTL, WPARAM(ok), TRUE);
    std::string seen;
    const struct { const char* step; std::function<void()> act; const char* want; } steps[] = {
        {"focus", [] {}, "raised red"},
        {"whole repaint", [&] {
             // Over what the screen showed, so that only a new paint can pass.
             FillRect(guard::WindowDC(nullptr).get(), &r, guard::Brush(CreateSolidBrush(RGB(255, 0, 255))).get());
             RedrawWindow(run.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
         }, "raised red"},
        {"mouse press", [&] { PostMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 8)); }, "sunken red"},
        {"release", [&] { PostMessageA(ok, WM_LBUTTONUP, 0, MAKELPARAM(40, 8)); }, "raised red"},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_TRUE(wait_until([&] { return (seen = look()) == s.want; }, 3000)) << s.step << ": " << seen;
    }
    EXPECT_TRUE(run.running() && run.find(false) == nullptr) << "Conferma with a blank field does nothing";
    run.key(VK_ESCAPE);
    EXPECT_EQ(run.exit_code(), 0u);
}

const char NO_SPACE[] = "Errore nella copia del file %s.\nSpazio insufficiente.";
const char NO_MAIN[] = "Attenzione! Nel percorso %s non e' presente l'installazione principale di VORAN.";
const char NO_DRIVE[] = "Attenzione! Il disco %s indicato nel percorso CLIENT non e' disponibile.";
const char CREATE_FAILED[] = "Errore nella creazione del percorso CLIENT indicato.";
const char CONFIG_NO_SPACE[] = "Errore nella scrittura del file %s.\nSpazio insufficiente.";
const char DONE_NO_LINK[] = "Installazione terminata con successo.";
const char MAIN_NOT_ANSI[] = "Attenzione! Il percorso SERVER indicato contiene caratteri non validi.";
const char CLIENT_NOT_ANSI[] = "Attenzione! Il percorso CLIENT indicato contiene caratteri non validi.";
const char IS_MAIN[] = "Attenzione! Il percorso CLIENT indicato coincide con l'installazione principale di VORAN.";
const char RELATIVE_PATH[] = "Attenzione! Il percorso CLIENT indicato non e' completo.\nIndicarlo a partire dalla radice del disco, ad esempio C:\\VORAN.";
#define COPYING "Installazione in corso: copia di "

const size_t SIZES[] = {0, 3000, 0, 70000, 65280, 200003, 1234, 65281, 512};
// The main installation's VORAN.INI, and the client's once the keys are written.
std::string ini(const std::string& db_path, const char* more = "") { return "[VORAN]\r\nVersione=6.2\r\n[CONFIG]\r\nDB_PATH=" + db_path + "\r\n" + more + "[RETE]\r\nUtenti=5\r\n"; }

// UPDATE: the client folder holds an earlier installation and a file of the user's. NO_MARKER, NO_IMGMAN,
// NO_HLP: no VORAN6.KEY, a required, an optional file on the main path. LOCK_EXE: the client's VORAN.EXE
// open, sharing only reading. HOLD_CHM: the main VORAN.CHM open for deletion (found, cannot be opened).
// SMALL: the client on a small volume, VORAN.EXE larger than all of it. HOLD_ASIDE: at the first failure
// the old VORAN.INI kept aside is held open. KEYS_FILL: VORAN.INI and IM31BMP.DIL fill the small volume
// but for the keys. TYPED, PADDED: the client path typed; blanks around both paths. NO_LINK: a folder
// where the shortcut goes. READ_ONLY: the client's VORAN.EXE is read-only.
enum Setup { UPDATE = 1, NO_MARKER = 2, NO_IMGMAN = 4, NO_HLP = 8, LOCK_EXE = 16, HOLD_CHM = 32, SMALL = 64, HOLD_ASIDE = 128,
             KEYS_FILL = 256, TYPED = 512, PADDED = 1024, NO_LINK = 2048, READ_ONLY = 4096 };
// In texts (UTF-8): $F the scenario folder, $S the small volume, $Z drive C seen through Z:, $C the client
// path as the field shows it, $A the name a file is kept under. A box shows `format` with `argument` (and
// $A) and the status line `status`; with `keys` the client's VORAN.INI holds the DB_PATH by then. `focus`:
// the field to correct, all selected (0: not checked). A run not `installed` leaves the folders as they were.
struct Box { const char* format; std::string argument; int button; std::string status; bool keys; };
struct Scenario { const char* name; unsigned setup; std::string main, client; std::vector<Box> boxes; int focus; bool installed; };

const Box YES = {EXISTS, "", IDYES, "", false}, FINISHED = {DONE, "", IDOK, "Fine Installazione", true};
const Scenario SCENARIOS[] = {
    {"NewFolder", NO_HLP, "$F\\MAIN", "$F\\CLIENT", {FINISHED}, 0, true},
    {"UpdateWithAFailedOptionalCopy", UPDATE | HOLD_CHM, "$F\\main", "$F\\CLIENT",
     {YES, {COPY_FAILED, "$F\\main\\VORAN.CHM", IDOK, COPYING "VORAN.CHM ...", true}, FINISHED}, 0, true},
    {"MissingRequiredFile", NO_IMGMAN, "$F\\main", "$F\\CLIENT", {{COPY_FAILED, "$F\\main\\IMGMAN31.DLL", IDOK, COPYING "IMGMAN31.DLL ...", true}}, 0, false},
    {"LockedClientProgramAndAFileThatCannotGoBack", UPDATE | LOCK_EXE | HOLD_ASIDE, "$F\\main", "$F\\CLIENT",
     {YES, {COPY_FAILED, "$F\\main\\VORAN.EXE", IDOK, COPYING "VORAN.EXE ...", true},
      {KEPT, "$C\\VORAN.INI", IDOK, COPYING "VORAN.EXE ...", false}}, 0, false},
    {"FullDisk", SMALL, "$F\\main", "$S\\CLIENT", {{NO_SPACE, "$F\\main\\VORAN.EXE", IDOK, COPYING "VORAN.EXE ...", false}}, 0, false},
    {"NoMainInstallation", NO_MARKER, "$F\\Main", "$F\\CLIENT", {{NO_MAIN, "$F\\Main", IDOK, "", false}}, MAIN_FIELD, false},
    {"ReadOnlyClientProgram", UPDATE | READ_ONLY, "$F\\main", "$F\\CLIENT", {YES, {COPY_FAILED, "$F\\main\\VORAN.EXE", IDOK, COPYING "VORAN.EXE ...", true}}, 0, false},
    {"ExistingFolderAnsweredNo", UPDATE, "$F\\main", "$F\\CLIENT", {{EXISTS, "", IDNO, "", false}}, CLIENT_FIELD, false},
    {"UnavailableDrive", 0, "$F\\main", "Q:\\X", {{NO_DRIVE, "Q", IDOK, "", false}}, CLIENT_FIELD, false},
    {"FolderWithoutParent", 0, "$F\\main", "$F\\NONE\\CLIENT", {{CREATE_FAILED, "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"PathLongerThanTheField", 0, "$F\\main", "$F\\" + std::string(152 - 30, 'L') /* 152 set from outside */, {}, CLIENT_FIELD, false},
    {"BlankMainPath", 0, "   ", "$F\\CLIENT", {}, 0, false},
    {"BlankClientPath", 0, "$F\\main", "", {}, 0, false},
    {"TypedLongPath", TYPED | NO_HLP, "$F\\main", "$F\\" + std::string(99, 'T') /* 120 characters */, {FINISHED}, 0, true},
    {"BlanksAroundForwardSlashedPaths", PADDED | NO_HLP, "C:/e2e/BlanksAroundForwardSlashedPaths/main", "C:/e2e/BlanksAroundForwardSlashedPaths/CLIENT", {FINISHED}, 0, true},
    {"KeysOnAFullVolume", SMALL | KEYS_FILL, "$F\\main", "$S\\CLIENT", {{CONFIG_NO_SPACE, "$C\\VORAN.INI", IDOK, COPYING "IM31BMP.DIL ...", false}}, 0, false},
    {"ShortcutCannotBeSaved", NO_LINK | NO_HLP, "$F\\main", "$F\\CLIENT", {{DONE_NO_LINK, "", IDOK, "Fine Installazione", true}}, 0, true},
    {"NonAnsiClientPath", 0, "$F\\main", u8"$F\\ŁÓDŹ", {{CLIENT_NOT_ANSI, "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"NonAnsiMainPath", 0, u8"$F\\NEWX＼..＼main", "$F\\CLIENT", {{MAIN_NOT_ANSI, "", IDOK, "", false}}, MAIN_FIELD, false},
    {"ClientIsMainWithASeparator", 0, "$F\\main", "$F\\MAIN\\", {{IS_MAIN, "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"ClientIsMainWithADot", 0, "$F\\main\\", "$F\\MAIN\\.", {{IS_MAIN, "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"ClientIsMainThroughDriveZ", 0, "$F\\main", "$Z\\E2E\\CLIENTISMAINTHROUGHDRIVEZ\\MAIN", {{IS_MAIN, "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"DriveRelativeClientPath", 0, "$F\\main", "C:E2E\\DriveRelativeClientPath\\CLIENT", {{RELATIVE_PATH, "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"DriveOnlyClientPath", 0, "$F\\main", "C:", {{RELATIVE_PATH, "", IDOK, "", false}}, CLIENT_FIELD, false},
};

std::string expand(std::string text, std::map<std::string, std::string>& names) {
    for (const auto& [name, value] : names)
        for (size_t at; (at = text.find(name)) != std::string::npos;)
            text.replace(at, name.size(), value);
    return text;
}
HANDLE hold(const std::string& path, DWORD access, DWORD share) { return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr); }

// The shortcut's target, working folder and description, in small letters, with backslashes.
std::string shortcut(const std::string& link) {
    guard::Com<IShellLinkA> shell_link;
    guard::Com<IPersistFile> file;
    wchar_t wide[MAX_PATH] = L"";
    char text[3][MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    if (CoInitialize(nullptr) >= 0 && SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell_link.out())) &&
        SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, file.out())) && SUCCEEDED(file->Load(wide, STGM_READ)))
        shell_link->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH), shell_link->GetWorkingDirectory(text[1], MAX_PATH), shell_link->GetDescription(text[2], MAX_PATH);
    std::string found = std::string(text[0]) + " | " + text[1] + " | " + text[2];
    std::replace(found.begin(), found.end(), '/', '\\');  // either separator will do in the shortcut
    return CharLowerA(&found[0]);
}

class Installation : public ::testing::TestWithParam<Scenario> {};

TEST_P(Installation, Scenario) {
    const Scenario& s = GetParam();
    const std::string small = std::getenv("E2E_SMALL_DRIVE") ? std::getenv("E2E_SMALL_DRIVE") : "";
    if ((s.setup & SMALL) && small.empty())
        GTEST_SKIP() << "no small volume (scripts/wine-env.sh maps one as S: where it may mount a tmpfs)";
    const char* prefix = std::getenv("WINEPREFIX");
    std::map<std::string, std::string> names = {{"$F", "C:\\e2e\\" + std::string(s.name)}, {"$S", small}, {"$A", ""}, {"$Z", prefix ? windows_path(prefix) + "\\drive_c" : "C:"}};
    const std::string folder = names["$F"], main = expand(s.main, names), client = expand(s.client, names);
    const std::string link = desktop_link();
    SetFileAttributesA((client + "\\VORAN.EXE").c_str(), FILE_ATTRIBUTE_NORMAL);  // left read-only by an earlier run
    test::remove_tree(folder);
    test::remove_tree(s.setup & SMALL ? client : "");
    CreateDirectoryA("C:\\e2e", nullptr), CreateDirectoryA(folder.c_str(), nullptr), CreateDirectoryA((folder + "\\main").c_str(), nullptr);

    // The main installation, and an earlier client installation with a file of the user's.
    std::map<std::string, std::string> files = {{"VORAN6.KEY", "VORAN 6\r\n"}}, old = {{"UTENTE.DAT", "dati\r\n"}};
    for (size_t i = 0; i < std::size(CLIENT_FILES); ++i) {
        files[CLIENT_FILES[i]] = i == 0 ? ini("X:\\VECCHIO") : test::pattern_bytes(CLIENT_FILES[i], SIZES[i]);
        old[CLIENT_FILES[i]] = test::pattern_bytes(std::string("old ") + CLIENT_FILES[i], 100 + 999 * i);
    }
    files.erase(s.setup & NO_MARKER ? "VORAN6.KEY" : s.setup & NO_IMGMAN ? "IMGMAN31.DLL" : s.setup & NO_HLP ? "VORAN.HLP" : "");
    ULARGE_INTEGER free_bytes{}, total{};
    if ((s.setup & SMALL) && GetDiskFreeSpaceExA((small + "\\").c_str(), &free_bytes, &total, nullptr))
        files["IMGMAN31.DLL"] = files["IMAGE2PDF.DLL"] = "small", files["VORAN.EXE"] = test::pattern_bytes("EXE", size_t(total.QuadPart) + 65536);
    if (s.setup & KEYS_FILL) // a VORAN.INI of 4090 bytes in one page and the run's journal in another; the keys need a third
        files["VORAN.INI"] = ini("X:\\VECCHIO", ("Nota=" + std::string(4012, 'n') + "\r\n").c_str()), files["IM31BMP.DIL"] = test::pattern_bytes("BMP", size_t(free_bytes.QuadPart) - 2 * 4096);
    for (const auto& [name, bytes] : files)
        test::write_file(folder + "\\main\\" + name, bytes);
    for (const auto& [name, bytes] : (s.setup & UPDATE) && CreateDirectoryA(client.c_str(), nullptr) ? old : test::Snapshot{})
        test::write_file(client + "\\" + name, bytes);
    if (s.setup & READ_ONLY)
        SetFileAttributesA((client + "\\VORAN.EXE").c_str(), FILE_ATTRIBUTE_READONLY);
    const test::Snapshot before = test::snapshot(folder); // the main installation never changes; read before it is held
    std::vector<HANDLE> held = {s.setup & LOCK_EXE ? hold(client + "\\VORAN.EXE", GENERIC_READ, FILE_SHARE_READ) : nullptr,
                                s.setup & HOLD_CHM ? hold(folder + "\\main\\VORAN.CHM", GENERIC_READ | DELETE, 7) : nullptr};
    RemoveDirectoryA(link.c_str());
    test::write_file(link, "not a shortcut"); // an earlier one is replaced; a failed run makes none
    if (s.setup & NO_LINK)
        DeleteFileA(link.c_str()), CreateDirectoryA(link.c_str(), nullptr);
    if (!s.installed)
        DeleteFileA(link.c_str());

    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    const std::string blank = s.setup & PADDED ? "  " : "";
    run.set_text(MAIN_FIELD, blank + main + blank);
    s.setup & TYPED ? run.type(CLIENT_FIELD, client) : run.set_text(CLIENT_FIELD, blank + client + blank);
    names["$C"] = run.text(CLIENT_FIELD);
    EXPECT_TRUE(!(s.setup & TYPED) || names["$C"] == CharUpperA(&std::string(client)[0])) << "typed, the field holds " << names["$C"];
    run.press(IDOK);
    for (const Box& b : s.boxes) {
        HWND box = run.wait_box();
        ASSERT_NE(box, nullptr) << "no message box; expected " << b.format;
        EXPECT_EQ(box_says(box), says(b.format, expand(b.argument, names), names["$A"]));
        EXPECT_FALSE(IsWindowEnabled(run.dialog)) << "the dialog can be worked while the message is shown";
        // Only the question offers a choice, Yes or No; the rest inform. The pictures need a moment to paint.
        const std::string look = b.format == EXISTS ? "6 7 exclamation" : "1 information";
        EXPECT_TRUE(wait_until([&] { return Program::box_look(box) == look; }, 3000)) << Program::box_look(box) << ", want " << look;
        EXPECT_EQ(run.text(STATUS_LINE), b.status);
        EXPECT_TRUE(!b.keys || test::read_file(client + "\\VORAN.INI").find("DB_PATH=" + main + "\r\n") != std::string::npos) << "no DB_PATH yet";
        for (const auto& [name, bytes] : s.setup & HOLD_ASIDE ? test::snapshot(client) : test::Snapshot{})
            if (bytes == old["VORAN.INI"] && name != "VORAN.INI" && names["$A"].empty())
                held.push_back(hold(names["$A"] = names["$C"] + "\\" + name, GENERIC_READ, FILE_SHARE_READ));
        ASSERT_TRUE(run.answer(box, b.button));
    }
    if (!s.installed) { // no other message; the field to correct has the focus and its text selected; Annulla leaves
        HWND box = run.wait_box(1000);
        EXPECT_TRUE(box == nullptr || !run.running()) << "unexpected message: " << window_text(GetDlgItem(box, BOX_TEXT));
        EXPECT_TRUE(!s.focus || wait_until([&] { return run.focus() == run.control(s.focus); }, 3000)) << "focus elsewhere";
        const LRESULT selection = SendMessageA(run.control(s.focus), EM_GETSEL, 0, 0);
        EXPECT_TRUE(!s.focus || size_t(HIWORD(selection) - LOWORD(selection)) == run.text(s.focus).size()) << "not all selected";
        EXPECT_TRUE(!s.boxes.empty() || run.text(STATUS_LINE).empty()) << "a copy was started";
        run.press(IDCANCEL);
    }
    EXPECT_EQ(run.exit_code(), 0u);
    std::for_each(held.begin(), held.end(), CloseHandle);

    // The folders: installed (VORAN.INI with the main path and the timer) or as they were; the old INI kept as the message says.
    test::Snapshot expected = before, found = test::snapshot(folder);
    const std::string installed = client.substr(std::min(client.size(), folder.size() + 1)) + "\\";  // inside the scenario folder
    for (const char* name : CLIENT_FILES)
        if (s.installed && files.count(name) && !((s.setup & HOLD_CHM) && name == std::string("VORAN.CHM")))
            expected[installed], expected[installed + name] = name == std::string("VORAN.INI") ? ini(main, "Timer=10\r\n") : files[name];
    if (!names["$A"].empty())
        expected[names["$A"].substr(folder.size() + 1)] = expected[installed + "VORAN.INI"], expected.erase(installed + "VORAN.INI");
    EXPECT_EQ(test::differences(found, expected), "") << "+new, ~changed or -missing";
    EXPECT_FALSE((s.setup & SMALL) && test::file_exists(client)) << client << " stayed";
    std::string want_link = s.installed && !(s.setup & NO_LINK) ? client + "\\VORAN.EXE | " + client + " | Voran4" : " |  | ";
    std::replace(want_link.begin(), want_link.end(), '/', '\\');
    EXPECT_EQ(shortcut(link), CharLowerA(&want_link[0]));
}

INSTANTIATE_TEST_SUITE_P(E2E, Installation, ::testing::ValuesIn(SCENARIOS),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

} // namespace
