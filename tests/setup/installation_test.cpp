// The installation procedure driven in-process on the real dialog, for the runs that stop:
// what the user is told, where the focus goes, and that the client folder is left as it was.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "setup/installation.h"
#include "setup/resource_ids.h"
#include "setup/setup_dialog.h"
#include "support/test_support.h"

namespace {

const char* const client_files[] = {"VORAN.INI", "IM31BMP.DIL", "IM31JPG.DIL", "IMGMAN31.DLL", "IMAGE2PDF.DLL",
                                    "VORAN.EXE", "VORAN.HLP", "VORAN.CHM", "IDE21201.VXD"};

class Installation : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::use_own_resources();
        dialog_ = CreateDialogParamA(app_instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, setup_dialog_proc, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // A main installation holding every client file, with contents that name the file.
    void make_main_installation(const std::string& folder, const std::vector<std::string>& leave_out = {})
    {
        ASSERT_TRUE(test::write_file(folder + "\\VORAN6.KEY", "key"));
        for (const char* name : client_files) {
            bool skip = false;
            for (const auto& n : leave_out)
                skip = skip || n == name;
            if (skip)
                continue;
            ASSERT_TRUE(test::write_file(folder + "\\" + name,
                                         std::string("new ") + name + "\r\n" + test::pattern_bytes(70000, name[3])));
        }
    }

    std::vector<test::SeenBox> press_conferma(const std::string& main, const std::string& client,
                                               std::vector<int> answers = {}, BOOL* result = nullptr)
    {
        SetDlgItemTextA(dialog_, IDC_MAIN_PATH, main.c_str());
        SetDlgItemTextA(dialog_, IDC_CLIENT_PATH, client.c_str());
        BOOL r = -1;
        auto boxes = test::with_message_boxes([&] { r = run_installation(dialog_); }, answers);
        if (result)
            *result = r;
        return boxes;
    }

    std::string status() const { return test::window_text(GetDlgItem(dialog_, IDC_STATUS)); }

    void expect_focus_with_all_selected(int id)
    {
        HWND field = GetDlgItem(dialog_, id);
        EXPECT_EQ(GetFocus(), field) << "focus should be in field " << id;
        DWORD start = 0, end = 0;
        SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthA(field))) << "the whole text of " << id << " is selected";
    }

    HWND dialog_ = nullptr;
};

const char UPDATE_QUESTION[] = "Attenzione! Il percorso CLIENT indicato gia' esiste.\n Vuoi effettuare l'aggiornamento?";

TEST_F(Installation, FieldsTakeAtMost151CharactersAndLongerTextIsRefused)
{
    for (int id : {IDC_MAIN_PATH, IDC_CLIENT_PATH})
        EXPECT_EQ(SendDlgItemMessageA(dialog_, id, EM_GETLIMITTEXT, 0, 0), SETUP_PATH_MAX) << "field " << id;

    // Text set from outside bypasses the limit; a shortened path must never be used.
    test::ScratchFolder dir("long");
    const std::string client = dir.path + "\\" + std::string(SETUP_PATH_MAX, 'L');
    BOOL result = TRUE;
    auto boxes = press_conferma("F:\\VORAN", client.substr(0, SETUP_PATH_MAX + 1), {}, &result);
    EXPECT_FALSE(result);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(test::snapshot(dir.path).empty());
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_CLIENT_PATH));
}

TEST_F(Installation, BlankFieldsDoNothing)
{
    test::ScratchFolder dir("blank");
    for (const auto& pair : {std::pair<std::string, std::string>{"", dir / "C"}, {"   ", dir / "C"},
                             {dir.path, ""}, {dir.path, "    "}}) {
        BOOL result = TRUE;
        auto boxes = press_conferma(pair.first, pair.second, {}, &result);
        EXPECT_FALSE(result);
        EXPECT_TRUE(boxes.empty());
        EXPECT_FALSE(test::exists(dir / "C"));
    }
}

TEST_F(Installation, MissingMarkerRemovesOnlyAFolderTheRunCreated)
{
    test::ScratchFolder main("marker-main"), base("marker-client");
    make_main_installation(main.path);
    DeleteFileA((main / "VORAN6.KEY").c_str());

    // A new folder is created, then removed again.
    auto boxes = press_conferma(main.path, base / "NEW");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Attenzione! Nel percorso " + main.path +
                                 " non e' presente l'installazione principale di VORAN.");
    EXPECT_FALSE(test::exists(base / "NEW"));
    expect_focus_with_all_selected(IDC_MAIN_PATH);

    // An existing empty folder that the user chose to update stays.
    ASSERT_TRUE(CreateDirectoryA((base / "OLD").c_str(), nullptr));
    boxes = press_conferma(main.path, base / "OLD", {IDYES});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, UPDATE_QUESTION);
    EXPECT_TRUE(boxes[0].has_yes_no);
    EXPECT_TRUE(test::exists(base / "OLD")) << "a folder the run did not create was removed";
}

TEST_F(Installation, ExistingFolderAnsweredNoChangesNothing)
{
    test::ScratchFolder main("no-main"), client("no-client");
    make_main_installation(main.path);
    ASSERT_TRUE(test::write_file(client / "VORAN.INI", "old ini"));
    const auto before = test::snapshot(client.path);

    BOOL result = TRUE;
    auto boxes = press_conferma(main.path, client.path, {IDNO}, &result);
    EXPECT_FALSE(result);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, UPDATE_QUESTION);
    EXPECT_EQ(test::snapshot(client.path), before);
    expect_focus_with_all_selected(IDC_CLIENT_PATH);
}

TEST_F(Installation, MissingParentFolderIsReported)
{
    test::ScratchFolder base("parent");
    auto boxes = press_conferma(base.path, base / "no\\such");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Errore nella creazione del percorso CLIENT indicato.");
    EXPECT_FALSE(test::exists(base / "no"));
    expect_focus_with_all_selected(IDC_CLIENT_PATH);
}

TEST_F(Installation, FailedCopyInANewFolderRemovesEverything)
{
    test::ScratchFolder main("new-main"), base("new-client");
    make_main_installation(main.path, {"IMGMAN31.DLL"});

    BOOL result = TRUE;
    auto boxes = press_conferma(main.path, base / "VORAN", {}, &result);
    EXPECT_FALSE(result);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Errore nella copia del file " + main.path +
                                 "\\IMGMAN31.DLL.\nVerificare l'esistenza del file.");
    EXPECT_FALSE(test::exists(base / "VORAN"));
    EXPECT_EQ(status(), "Installazione in corso: copia di IMGMAN31.DLL ...");
}

TEST_F(Installation, FailedCopyInAnUpdateRestoresEveryReplacedFile)
{
    test::ScratchFolder main("upd-main"), client("upd-client");
    make_main_installation(main.path, {"VORAN.EXE"});
    for (const char* name : client_files)
        ASSERT_TRUE(test::write_file(client / name, std::string("old ") + name + test::pattern_bytes(5000, name[0])));
    ASSERT_TRUE(test::write_file(client / "USER.DAT", "the user's own file"));
    const auto before = test::snapshot(client.path);

    auto boxes = press_conferma(main.path, client.path, {IDYES});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Errore nella copia del file " + main.path +
                                 "\\VORAN.EXE.\nVerificare l'esistenza del file.");
    EXPECT_EQ(test::snapshot(client.path), before) << "the client folder is not as it was before the run";
    EXPECT_EQ(status(), "Installazione in corso: copia di VORAN.EXE ...");
}

TEST_F(Installation, ReadOnlyTargetInAnUpdateIsReportedAndNothingIsLost)
{
    test::ScratchFolder main("ro-main"), client("ro-client");
    make_main_installation(main.path);
    for (const char* name : client_files)
        ASSERT_TRUE(test::write_file(client / name, std::string("old ") + name));
    ASSERT_TRUE(SetFileAttributesA((client / "IM31JPG.DIL").c_str(), FILE_ATTRIBUTE_READONLY));
    const auto before = test::snapshot(client.path);

    auto boxes = press_conferma(main.path, client.path, {IDYES});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Errore nella copia del file " + main.path +
                                 "\\IM31JPG.DIL.\nVerificare l'esistenza del file.");
    EXPECT_EQ(test::snapshot(client.path), before);
    EXPECT_NE(GetFileAttributesA((client / "IM31JPG.DIL").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

} // namespace
