// The installation procedure driven in-process on the real dialog, for what only this
// side can set up: text longer than the fields allow, and a folder that a stopped run
// did not create. The end-to-end tests cover the other ways a run stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/installation.h"
#include "setup/resource_ids.h"
#include "setup/setup_dialog.h"
#include "support/test_support.h"

namespace {

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

    HWND dialog_ = nullptr;
};

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

TEST_F(Installation, MissingMarkerKeepsAFolderTheRunDidNotCreate)
{
    test::ScratchFolder main("marker-main"), base("marker-client");

    // An existing empty folder that the user chose to update stays.
    ASSERT_TRUE(CreateDirectoryA((base / "OLD").c_str(), nullptr));
    auto boxes = press_conferma(main.path, base / "OLD", {IDYES});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Attenzione! Il percorso CLIENT indicato gia' esiste.\n Vuoi effettuare l'aggiornamento?");
    EXPECT_TRUE(boxes[0].has_yes_no);
    EXPECT_EQ(boxes[1].text, "Attenzione! Nel percorso " + main.path +
                                 " non e' presente l'installazione principale di VORAN.");
    EXPECT_TRUE(test::folder_exists(base / "OLD")) << "a folder the run did not create was removed";
}

} // namespace
