// The real setup.exe ended from outside (TerminateProcess) at many moments of a run, as a power
// cut would end it. Right after each kill every client file under its real name is whole. The
// next run says the earlier one was undone and puts the folder and desktop back byte for byte
// (an update, answered No), or goes on to a complete new installation.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "e2e/driver.h"

namespace {

using namespace e2e;

const char RECOVERED[] = "L'installazione precedente in %s e' stata interrotta: la cartella e' stata ripristinata com'era prima.";
const char UNREADABLE[] = "Attenzione! L'installazione precedente in %s e' stata interrotta, ma il file %s non e' leggibile.\nLa cartella non e' stata modificata.";
const char JOURNAL[] = "\\~VRSETUP.JNL";
const size_t BIG = 48u << 20; // VORAN.EXE when its copy is to be caught part-way; every other file is far below 1 MiB

// When the first run is ended: at a failed copy's message (all before it done); with the new
// VORAN.EXE part-written; once the new shortcut is on the desktop; at the success message.
enum Moment { AT_BOX, MID_COPY, AFTER_LINK, AT_SUCCESS };
// Before the next run: nothing; the journal cut after half its lines, or of a newer version; a kept version
// held open, so that the recovery stops at its message and is ended there; the commit mark added.
enum Next { RECOVER, CUT_JOURNAL, NEWER_JOURNAL, CUT_RECOVERY, COMMITTED };
// `stop_at`: the main installation's file that cannot be read, so that the run stops at its copy.
// An update has an earlier shortcut on the desktop; a new installation has none.
struct Cut { const char* name; bool update; const char* stop_at; Moment moment; Next next; };

const Cut CUTS[] = {
    {"UpdateAtTheFirstCopy", true, "VORAN.INI", AT_BOX, RECOVER},
    {"UpdateWithTheNewIniAside", true, "IM31BMP.DIL", AT_BOX, RECOVER},
    {"UpdateAfterTheKeys", true, "IM31JPG.DIL", AT_BOX, RECOVER},
    {"UpdateAfterFourCopies", true, "IMAGE2PDF.DLL", AT_BOX, RECOVER},
    {"UpdateAfterSevenCopies", true, "VORAN.CHM", AT_BOX, RECOVER},
    {"UpdateMidCopy", true, "", MID_COPY, RECOVER},
    {"UpdateAfterTheShortcut", true, "", AFTER_LINK, RECOVER},
    {"UpdateCutInTheCommit", true, "", AFTER_LINK, COMMITTED},
    {"UpdateNeverInterrupted", true, "", AT_SUCCESS, RECOVER},
    {"NewAtTheFirstCopy", false, "VORAN.INI", AT_BOX, RECOVER},
    {"NewAfterTheKeys", false, "IM31JPG.DIL", AT_BOX, RECOVER},
    {"NewMidCopy", false, "", MID_COPY, RECOVER},
    {"NewAfterTheShortcut", false, "", AFTER_LINK, RECOVER},
    {"CutDuringTheRecovery", true, "VORAN.EXE", AT_BOX, CUT_RECOVERY},
    {"JournalCutShort", true, "IMGMAN31.DLL", AT_BOX, CUT_JOURNAL},
    {"JournalOfANewerVersion", true, "IMGMAN31.DLL", AT_BOX, NEWER_JOURNAL},
};

// A file named like `pattern` in `folder` whose size passes `test`.
bool file_sized(const std::string& folder, const char* pattern, bool (*test)(ULONGLONG)) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
    bool found = false;
    for (bool more = search != INVALID_HANDLE_VALUE; more && !found; more = FindNextFileA(search, &entry))
        found = test(ULONGLONG(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow);
    FindClose(search);
    return found;
}
// Polls without sleeping: some moments last a few milliseconds.
bool catch_moment(const Program& run, const std::function<bool()>& moment) {
    for (const ULONGLONG end = GetTickCount64() + 30000; GetTickCount64() < end && run.running(); Sleep(0))
        if (moment())
            return true;
    return false;
}
void kill(const Program& run) { TerminateProcess(run.process.hProcess, 1), WaitForSingleObject(run.process.hProcess, 5000); }

class Interruption : public ::testing::TestWithParam<Cut> {
protected:
    std::string folder, main, client, desktop, link, field;
    test::Snapshot before, installed, desktop_before;

    // The main installation; for an update, an earlier client one with a file of the user's, and a shortcut.
    void SetUp() override {
        const Cut& c = GetParam();
        folder = "C:\\e2e\\cut-" + std::string(c.name), main = folder + "\\main", client = folder + "\\CLIENT";
        link = desktop_link(), desktop = link.substr(0, link.rfind('\\'));
        test::remove_tree(folder);
        CreateDirectoryA("C:\\e2e", nullptr), CreateDirectoryA(folder.c_str(), nullptr), CreateDirectoryA(main.c_str(), nullptr);
        test::write_file(main + "\\VORAN6.KEY", "VORAN 6\r\n");
        for (size_t i = 0; i < std::size(CLIENT_FILES); ++i) {
            const std::string name = CLIENT_FILES[i];
            const std::string bytes = i == 0 ? "[CONFIG]\r\nDB_PATH=X:\\VECCHIO\r\n" : test::pattern_bytes(name, c.moment == MID_COPY && i == 5 ? BIG : 1000 + 7919 * i);
            test::write_file(main + "\\" + name, bytes);
            installed[name] = i == 0 ? "[CONFIG]\r\nDB_PATH=" + main + "\r\nTimer=10\r\n" : bytes;
        }
        RemoveDirectoryA(link.c_str()), DeleteFileA(link.c_str()); // another test may leave a folder of that name
        if (c.update) {
            CreateDirectoryA(client.c_str(), nullptr);
            for (const char* name : CLIENT_FILES)
                test::write_file(client + "\\" + name, test::pattern_bytes(std::string("old ") + name, 333 + std::strlen(name) * 999));
            test::write_file(client + "\\UTENTE.DAT", "dati\r\n");
            test::write_file(link, "an earlier shortcut");
            installed["UTENTE.DAT"] = "dati\r\n";
        }
        before = test::snapshot(client), desktop_before = test::snapshot(desktop);
    }
    void TearDown() override { test::remove_tree(folder); }

    // Fills the fields and presses Conferma; `field` is the client path as the field shows it (in capitals).
    void start(Program& run) {
        ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
        run.set_text(MAIN_FIELD, main), run.set_text(CLIENT_FIELD, client), field = run.text(CLIENT_FIELD);
        run.press(IDOK);
    }
    // Item by item, every client file under its real name is its version before the run or the installed one.
    void expect_whole_files(const char* when) const {
        for (const char* name : CLIENT_FILES) {
            const std::string bytes = test::read_file(client + "\\" + name);
            const bool was = before.count(name) ? bytes == before.at(name) : bytes == "<missing>";
            EXPECT_TRUE(was || bytes == installed.at(name)) << when << ": " << name << " holds " << bytes.size() << " bytes of neither version";
        }
    }
    // Waits for a message box showing `format` (with `a` and `b`) and returns it.
    HWND expect_box(const Program& run, const char* format, const std::string& a = "", const std::string& b = "") const {
        HWND box = run.wait_box();
        EXPECT_EQ(box_says(box), says(format, a, b));
        return box;
    }
    std::string journal() const { return test::read_file(client + JOURNAL); }
};

TEST_P(Interruption, NextRunPutsBackOrFinishes) {
    const Cut& c = GetParam();
    const std::string stop_at = main + "\\" + c.stop_at, held_bytes = test::read_file(stop_at);
    // The shortcut's moment ends when the commit begins: a later kill belongs to another row, and the run starts again.
    const auto too_late = [&] { return c.moment == AFTER_LINK && (journal() == "<missing>" || journal().find("COMMIT") != std::string::npos); };
    for (int attempt = 0; attempt < 3 && (!attempt || too_late()); ++attempt) {
        if (attempt)
            SetUp();
        // A required file is missing; an optional one is found but cannot be opened.
        HANDLE hold = nullptr;
        if (*c.stop_at && std::string(c.stop_at) == "VORAN.CHM")
            hold = CreateFileA(stop_at.c_str(), GENERIC_READ | DELETE, 7, nullptr, OPEN_EXISTING, 0, nullptr);
        else if (*c.stop_at)
            DeleteFileA(stop_at.c_str());
        Program run;
        start(run);
        if (c.update) {
            ASSERT_TRUE(run.answer(expect_box(run, EXISTS), IDYES));
        }
        if (c.moment == AT_BOX || c.moment == AT_SUCCESS) {
            ASSERT_TRUE(expect_box(run, c.moment == AT_SUCCESS ? DONE : COPY_FAILED, stop_at)) << "no stop";
        } else if (c.moment == MID_COPY) {
            ASSERT_TRUE(catch_moment(run, [&] { return file_sized(client, "~vr*.tmp", [](ULONGLONG size) { return size > (1u << 20) && size < BIG; }); })) << "VORAN.EXE not caught part-way";
        } else {
            ASSERT_TRUE(catch_moment(run, [&] { return file_sized(desktop, "VORAN4.LNK", [](ULONGLONG size) { return size != 19; }); })) << "no new shortcut";
        }
        kill(run);
        CloseHandle(hold);
    }
    if (*c.stop_at)
        test::write_file(stop_at, held_bytes);
    expect_whole_files("right after the kill");
    if (too_late())
        GTEST_SKIP() << "three kills came after the commit had begun";

    std::string text = journal();
    if (c.next == COMMITTED)
        test::write_file(client + JOURNAL, text + "COMMIT\r\n");
    if (c.next == CUT_JOURNAL || c.next == NEWER_JOURNAL) {
        const size_t version = text.find(" 1\r\n");
        // cut at a line's end, so that only what is missing tells
        test::write_file(client + JOURNAL, c.next == CUT_JOURNAL ? text.substr(0, text.find("\r\n", text.size() / 2) + 2) : text.replace(version, 2, " 2"));
        const test::Snapshot left = test::snapshot(client);
        Program run;
        start(run);
        ASSERT_TRUE(run.answer(expect_box(run, UNREADABLE, field, field + JOURNAL), IDOK));
        EXPECT_TRUE(wait_until([&] { return run.focus() == run.control(CLIENT_FIELD); }, 3000)) << "focus elsewhere";
        run.press(IDCANCEL);
        EXPECT_EQ(run.exit_code(), 0u);
        EXPECT_EQ(test::differences(test::snapshot(client), left), "") << "an unreadable journal was acted on";
        return;
    }
    if (c.next == CUT_RECOVERY) { // the kept IMGMAN31.DLL, found by its bytes, held while the recovery puts it back
        std::string kept;
        for (const auto& [name, bytes] : test::snapshot(client))
            kept = name != "IMGMAN31.DLL" && bytes == before.at("IMGMAN31.DLL") ? name : kept;
        ASSERT_FALSE(kept.empty()) << "no kept IMGMAN31.DLL";
        HANDLE held = CreateFileA((client + "\\" + kept).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        {
            Program run;
            start(run);
            expect_box(run, KEPT, field + "\\IMGMAN31.DLL", field + "\\" + kept);
            kill(run);
        }
        CloseHandle(held);
        expect_whole_files("right after the recovery was ended");
    }

    // Installed by the first run when it completed or had begun its commit (nothing undone or said), or by this one.
    const bool done = !c.update || c.moment == AT_SUCCESS || c.next == COMMITTED;
    Program run;
    start(run);
    if (c.moment != AT_SUCCESS && c.next != COMMITTED) {
        ASSERT_TRUE(run.answer(expect_box(run, RECOVERED, field), IDOK));
    }
    if (c.update) { // the update question, answered No: nothing more changes
        ASSERT_TRUE(run.answer(expect_box(run, EXISTS), IDNO));
        run.press(IDCANCEL);
    } else {
        ASSERT_TRUE(run.answer(expect_box(run, DONE), IDOK));
    }
    EXPECT_EQ(run.exit_code(), 0u);
    EXPECT_EQ(test::differences(test::snapshot(client), done ? installed : before), "") << "the client folder against " << (done ? "the installation" : "its state before");
    test::Snapshot desktop_now = test::snapshot(desktop);
    if (done) { // a new shortcut, in place of the earlier one
        EXPECT_TRUE(desktop_now.count("VORAN4.LNK") && desktop_now["VORAN4.LNK"] != "an earlier shortcut") << "no new shortcut";
        desktop_now.erase("VORAN4.LNK"), desktop_before.erase("VORAN4.LNK");
    }
    EXPECT_EQ(test::differences(desktop_now, desktop_before), "") << "the desktop";
}

INSTANTIATE_TEST_SUITE_P(E2E, Interruption, ::testing::ValuesIn(CUTS),
                         [](const ::testing::TestParamInfo<Cut>& info) { return std::string(info.param.name); });

} // namespace
