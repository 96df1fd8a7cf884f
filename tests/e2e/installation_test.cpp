// The real setup.exe driven from outside, one row per scenario: the files on F:, the two field
// texts, the messages and answers, then the focus, the exit code and the client folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "e2e/driver.h"

namespace {

using namespace e2e;

// What a person reads; the drive letter is shown as a one-letter text here.
const char COPY_FAILED[] = "Errore nella copia del file %s.\nVerificare l'esistenza del file.";
const char NO_SPACE[] = "Errore nella copia del file %s.\nSpazio insufficiente.";
const char NO_MAIN[] = "Attenzione! Nel percorso %s non e' presente l'installazione principale di VORAN.";
const char NO_DRIVE[] = "Attenzione! Il disco %s indicato nel percorso CLIENT non e' disponibile.";
const char CREATE_FAILED[] = "Errore nella creazione del percorso CLIENT indicato.";
const char DONE[] = "Installazione terminata con successo.\n\nUtilizzare il collegamento creato sul Desktop per "
                    "l'attivazione di VORAN.";
const char EXISTS[] = "Attenzione! Il percorso CLIENT indicato gia' esiste.\n Vuoi effettuare l'aggiornamento?";
const char KEPT_ASIDE[] = "Attenzione! Non e' stato possibile ripristinare il file %s.\nLa versione precedente e' "
                          "conservata come %s.";
#define COPYING "Installazione in corso: copia di "

const char* const CLIENT_FILES[] = {"VORAN.INI", "IM31BMP.DIL", "IM31JPG.DIL", "IMGMAN31.DLL", "IMAGE2PDF.DLL",
                                    "VORAN.EXE", "VORAN.HLP", "VORAN.CHM", "IDE21201.VXD"};
const size_t SIZES[] = {0, 3000, 0, 70000, 65280, 200003, 1234, 65281, 512}; // VORAN.INI: text
const char MAIN_INI[] = "[VORAN]\r\nVersione=6.2\r\n[CONFIG]\r\nDB_PATH=X:\\VECCHIO\r\nStampante=PREDEFINITA\r\n[RETE]\r\nUtenti=5\r\n";

enum Setup {
    UPDATE = 1,        // the client folder holds an earlier installation and a file of the user's
    NO_MARKER = 2,     // the main path has no VORAN6.KEY
    NO_IMGMAN = 4,     // a required file is missing on the main path
    NO_OPTIONAL = 8,   // VORAN.HLP and IDE21201.VXD are missing on the main path
    LOCK_EXE = 16,     // another program has the client's VORAN.EXE open, sharing only reading
    HOLD_CHM = 32,     // the main VORAN.CHM is open for deletion: found, but the copy cannot open it
    READ_ONLY = 64,    // the client's IM31JPG.DIL is read-only
    SMALL_DRIVE = 128, // the client folder on a small volume, VORAN.EXE larger than all of it
    HOLD_ASIDE = 256,  // at the first failure, the old VORAN.INI kept aside is held open
};
enum Action { CONFERMA, ANNULLA, ESCAPE };

// In texts: $F the scenario folder, $S the small volume, $C the client path as the field shows
// it (in capitals), $A the name a file is kept under.
struct Box {
    const char* format;
    std::string argument, second;
    int button;
    std::string status; // the status line meanwhile
    bool keys;          // the client's VORAN.INI already holds the typed DB_PATH
};
struct Scenario {
    const char* name;
    unsigned setup;
    std::string main, client;
    Action action;
    std::vector<Box> boxes;
    int focus;      // the field to correct, its text selected; 0: not checked
    bool installed; // else the folders end as they were
};

const Scenario SCENARIOS[] = {
    {"NewFolder", NO_OPTIONAL, "$F\\MAIN", "$F\\CLIENT", CONFERMA, {{DONE, "", "", IDOK, "Fine Installazione", true}}, 0, true},
    {"UpdateWithFailedOptionalCopy", UPDATE | HOLD_CHM, "$F\\main", "$F\\CLIENT", CONFERMA,
     {{EXISTS, "", "", IDYES, "", false}, {COPY_FAILED, "$F\\main\\VORAN.CHM", "", IDOK, COPYING "VORAN.CHM ...", true},
      {DONE, "", "", IDOK, "Fine Installazione", true}}, 0, true},
    {"MissingRequiredFile", NO_IMGMAN, "$F\\main", "$F\\CLIENT", CONFERMA,
     {{COPY_FAILED, "$F\\main\\IMGMAN31.DLL", "", IDOK, COPYING "IMGMAN31.DLL ...", true}}, 0, false},
    {"LockedClientProgramAndAFileThatCannotGoBack", UPDATE | LOCK_EXE | HOLD_ASIDE, "$F\\main", "$F\\CLIENT", CONFERMA,
     {{EXISTS, "", "", IDYES, "", false}, {COPY_FAILED, "$F\\main\\VORAN.EXE", "", IDOK, COPYING "VORAN.EXE ...", true},
      {KEPT_ASIDE, "$C\\VORAN.INI", "$A", IDOK, COPYING "VORAN.EXE ...", false}}, 0, false},
    {"ReadOnlyClientFile", UPDATE | READ_ONLY, "$F\\main", "$F\\CLIENT", CONFERMA,
     {{EXISTS, "", "", IDYES, "", false}, {COPY_FAILED, "$F\\main\\IM31JPG.DIL", "", IDOK, COPYING "IM31JPG.DIL ...", false}}, 0, false},
    {"FullDisk", SMALL_DRIVE, "$F\\main", "$S\\CLIENT", CONFERMA,
     {{NO_SPACE, "$F\\main\\VORAN.EXE", "", IDOK, COPYING "VORAN.EXE ...", false}}, 0, false},
    {"NoMainInstallation", NO_MARKER, "$F\\Main", "$F\\CLIENT", CONFERMA, {{NO_MAIN, "$F\\Main", "", IDOK, "", false}}, MAIN_FIELD, false},
    {"ExistingFolderAnsweredNo", UPDATE, "$F\\main", "$F\\CLIENT", CONFERMA, {{EXISTS, "", "", IDNO, "", false}}, CLIENT_FIELD, false},
    {"UnavailableDrive", 0, "$F\\main", "Q:\\X", CONFERMA, {{NO_DRIVE, "Q", "", IDOK, "", false}}, CLIENT_FIELD, false},
    {"FolderWithoutParent", 0, "$F\\main", "$F\\NONE\\CLIENT", CONFERMA, {{CREATE_FAILED, "", "", IDOK, "", false}}, CLIENT_FIELD, false},
    // 152 characters, one more than the field takes: text set from outside bypasses the limit.
    {"PathLongerThanTheField", 0, "$F\\main", "$F\\" + std::string(152 - 30, 'L'), CONFERMA, {}, CLIENT_FIELD, false},
    {"BlankMainPath", 0, "   ", "$F\\CLIENT", CONFERMA, {}, 0, false},
    {"BlankClientPath", 0, "$F\\main", "", CONFERMA, {}, 0, false},
    {"Annulla", 0, "$F\\main", "$F\\CLIENT", ANNULLA, {}, 0, false},
    {"Escape", 0, "$F\\main", "$F\\CLIENT", ESCAPE, {}, 0, false},
};

std::string expand(std::string text, const std::map<std::string, std::string>& names)
{
    for (const auto& [name, value] : names)
        for (size_t at; (at = text.find(name)) != std::string::npos;)
            text.replace(at, name.size(), value);
    return text;
}

std::string ini_value(const std::string& file, const char* section, const char* key)
{
    char value[512] = "";
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

std::string lower(std::string text)
{
    CharLowerA(&text[0]);
    return text;
}

HANDLE hold(const std::string& path, DWORD access, DWORD share)
{
    return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

class Installation : public ::testing::TestWithParam<Scenario> {};

TEST_P(Installation, Scenario)
{
    const Scenario& s = GetParam();
    const char* small = std::getenv("E2E_SMALL_DRIVE");
    if ((s.setup & SMALL_DRIVE) && (!small || !*small))
        GTEST_SKIP() << "no small volume (scripts/wine-env.sh maps one as S: where it may mount a tmpfs)";
    std::map<std::string, std::string> names = {{"$F", "C:\\e2e\\" + std::string(s.name)}, {"$S", small ? small : ""}};
    const std::string folder = names["$F"], main = expand(s.main, names), client = expand(s.client, names);
    CreateDirectoryA("C:\\e2e", nullptr);
    test::remove_tree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\main").c_str(), nullptr);

    // The main installation, and an earlier client installation with a file of the user's.
    std::map<std::string, std::string> files = {{"VORAN6.KEY", "VORAN 6\r\n"}}, old, want;
    for (size_t i = 0; i < std::size(CLIENT_FILES); ++i) {
        files[CLIENT_FILES[i]] = i == 0 ? MAIN_INI : test::pattern_bytes(CLIENT_FILES[i], SIZES[i]);
        old[CLIENT_FILES[i]] = test::pattern_bytes(std::string("old ") + CLIENT_FILES[i], 100 + 999 * i);
    }
    const std::pair<unsigned, const char*> drops[] = {
        {NO_MARKER, "VORAN6.KEY"}, {NO_IMGMAN, "IMGMAN31.DLL"}, {NO_OPTIONAL, "VORAN.HLP"}, {NO_OPTIONAL, "IDE21201.VXD"}};
    for (const auto& [drop, name] : drops)
        if (s.setup & drop)
            files.erase(name);
    ULARGE_INTEGER free_bytes{}, total{};
    if ((s.setup & SMALL_DRIVE) && GetDiskFreeSpaceExA((std::string(small) + "\\").c_str(), &free_bytes, &total, nullptr)) {
        files["IMGMAN31.DLL"] = files["IMAGE2PDF.DLL"] = test::pattern_bytes("small", 2000);
        files["VORAN.EXE"] = test::pattern_bytes("VORAN.EXE", size_t(total.QuadPart) + 65536);
    }
    for (const auto& [name, bytes] : files)
        test::write_file(folder + "\\main\\" + name, bytes);
    // Only a client folder of this scenario is ever emptied or looked into.
    const bool own_client = client.rfind(folder, 0) == 0 || (s.setup & SMALL_DRIVE);
    if (own_client)
        test::remove_tree(client);
    if (s.setup & UPDATE) {
        CreateDirectoryA(client.c_str(), nullptr);
        for (const auto& [name, bytes] : old)
            test::write_file(client + "\\" + name, bytes);
        test::write_file(client + "\\UTENTE.DAT", "dati dell'utente\r\n");
    }
    std::vector<HANDLE> held;
    if (s.setup & READ_ONLY) {
        SetFileAttributesA((client + "\\IM31JPG.DIL").c_str(), FILE_ATTRIBUTE_READONLY);
        if (DeleteFileA((client + "\\IM31JPG.DIL").c_str()))
            GTEST_SKIP() << "this file system lets a read-only file be deleted";
    }
    if (s.setup & LOCK_EXE)
        held.push_back(hold(client + "\\VORAN.EXE", GENERIC_READ, FILE_SHARE_READ));
    if (s.setup & HOLD_CHM)
        held.push_back(hold(folder + "\\main\\VORAN.CHM", GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    char desktop[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    const std::string link = std::string(desktop) + "\\VORAN4.LNK";
    test::write_file(link, "not a shortcut"); // an earlier one is replaced, a failed run makes none
    if (!s.installed)
        DeleteFileA(link.c_str());
    const test::Snapshot before = test::snapshot(folder), client_before = own_client ? test::snapshot(client) : test::Snapshot{};

    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    run.set_text(MAIN_FIELD, main);
    run.set_text(CLIENT_FIELD, client);
    names["$C"] = run.text(CLIENT_FIELD);
    if (s.action == ESCAPE)
        run.key(VK_ESCAPE);
    else
        run.press(s.action == CONFERMA ? IDOK : IDCANCEL);
    for (const Box& b : s.boxes) {
        HWND box = run.wait_box();
        ASSERT_NE(box, nullptr) << "no message box; expected " << b.format;
        char want[1024];
        std::snprintf(want, sizeof want, b.format, expand(b.argument, names).c_str(), expand(b.second, names).c_str());
        EXPECT_EQ(window_text(box), "setup");
        EXPECT_EQ(window_text(GetDlgItem(box, 0xFFFF)), want);
        EXPECT_EQ(run.text(STATUS_LINE), b.status);
        if (b.keys) {
            EXPECT_EQ(ini_value(client + "\\VORAN.INI", "CONFIG", "DB_PATH"), main) << "no keys at this point";
        }
        for (const auto& [name, bytes] : test::snapshot(client))
            if ((s.setup & HOLD_ASIDE) && bytes == old["VORAN.INI"] && name != "VORAN.INI" && !names.count("$A")) {
                names["$A"] = names["$C"] + "\\" + name;
                held.push_back(hold(names["$A"], GENERIC_READ, FILE_SHARE_READ));
            }
        ASSERT_TRUE(run.answer(box, b.button));
    }
    if (s.installed) {
        EXPECT_EQ(run.exit_code(), 0u);
    } else {
        HWND box = run.wait_box(s.action == CONFERMA ? 1000 : 0);
        EXPECT_TRUE(box == nullptr || !run.running()) << "unexpected message: " << window_text(GetDlgItem(box, 0xFFFF));
        if (s.focus) {
            EXPECT_TRUE(wait_until([&] { return run.focus() == run.control(s.focus); }, 3000)) << "focus elsewhere";
            DWORD_PTR selection = 0;
            SendMessageTimeoutA(run.control(s.focus), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
            EXPECT_EQ(HIWORD(selection) - LOWORD(selection), run.text(s.focus).size()) << "the text is not all selected";
        }
        if (s.boxes.empty()) {
            EXPECT_EQ(run.text(STATUS_LINE), "");
        }
        run.press(IDCANCEL);
        EXPECT_EQ(run.exit_code(), 0u);
    }
    for (HANDLE h : held)
        CloseHandle(h);

    // The folders: installed as the main installation has it, or exactly as they were.
    if (s.setup & READ_ONLY) {
        EXPECT_TRUE(GetFileAttributesA((client + "\\IM31JPG.DIL").c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    SetFileAttributesA((client + "\\IM31JPG.DIL").c_str(), FILE_ATTRIBUTE_NORMAL);
    test::Snapshot expected = s.installed ? client_before : before, found = test::snapshot(s.installed ? client : folder);
    if (s.installed) {
        for (const char* name : CLIENT_FILES)
            if (files.count(name) && !((s.setup & HOLD_CHM) && name == std::string("VORAN.CHM")))
                expected[name] = files[name];
        EXPECT_EQ(ini_value(client + "\\VORAN.INI", "CONFIG", "DB_PATH"), main);
        EXPECT_EQ(ini_value(client + "\\VORAN.INI", "CONFIG", "Timer"), "10");
        EXPECT_EQ(ini_value(client + "\\VORAN.INI", "RETE", "Utenti"), "5") << "the main installation's keys stay";
        expected.erase("VORAN.INI");
        found.erase("VORAN.INI");
        EXPECT_EQ(lower(read_shortcut(link)), lower(client + "\\VORAN.EXE | " + client + " | Voran4"));
    } else {
        EXPECT_FALSE(test::file_exists(link)) << "a shortcut from a run that did not complete";
        EXPECT_EQ(own_client && test::snapshot(client).empty(), own_client && client_before.empty()) << client;
    }
    if (names.count("$A")) { // the old VORAN.INI waits under the name the message gave
        expected[names["$A"].substr(folder.size() + 1)] = expected["CLIENT\\VORAN.INI"];
        expected.erase("CLIENT\\VORAN.INI");
    }
    for (auto& [name, bytes] : found)
        EXPECT_TRUE(expected.count(name) && expected[name] == bytes) << name << " is new or changed";
    for (const auto& entry : expected)
        EXPECT_TRUE(found.count(entry.first)) << entry.first << " is missing";
}

INSTANTIATE_TEST_SUITE_P(E2E, Installation, ::testing::ValuesIn(SCENARIOS),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

} // namespace
