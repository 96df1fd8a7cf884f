#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "setup/file_copy.h"
#include "setup/messages.h"
#include "setup/resource_ids.h"
#include "support/test_support.h"

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override { test::use_own_resources(); }
};

TEST_F(Messages, StringTableHoldsTheExactTexts)
{
    struct Case { UINT id; const char* text; } cases[] = {
        {MSG_COPY_NO_SPACE, "Errore nella copia del file %s.\nSpazio insufficiente."},
        {MSG_COPY_FAILED, "Errore nella copia del file %s.\nVerificare l'esistenza del file."},
        {MSG_NO_MAIN_INSTALLATION, "Attenzione! Nel percorso %s non e' presente l'installazione principale di VORAN."},
        {MSG_DRIVE_UNAVAILABLE, "Attenzione! Il disco %c indicato nel percorso CLIENT non e' disponibile."},
        {MSG_CLIENT_CREATE_FAILED, "Errore nella creazione del percorso CLIENT indicato."},
        {MSG_INSTALL_DONE, "Installazione terminata con successo.\n\nUtilizzare il collegamento creato sul Desktop "
                           "per l'attivazione di VORAN."},
        {MSG_CLIENT_EXISTS_UPDATE, "Attenzione! Il percorso CLIENT indicato gia' esiste.\n Vuoi effettuare "
                                   "l'aggiornamento?"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(load_message(c.id), c.text) << "string " << c.id;
}

TEST_F(Messages, LoadUsesTheLow16BitsAndEmptiesTheBufferForMissingStrings)
{
    EXPECT_STREQ(load_message(0x10000 + MSG_COPY_FAILED), load_message(MSG_COPY_FAILED));
    load_message(MSG_COPY_FAILED);
    EXPECT_STREQ(load_message(2004), "") << "2004 is not in the table";
    EXPECT_EQ(load_message(MSG_INSTALL_DONE), message_buffer);
}

TEST_F(Messages, CopyFailureNamesTheSourceAndChoosesTheTextByTheCode)
{
    const char* source = "F:\\VORAN\\IMGMAN31.DLL";
    struct Case { int code; const char* want; } cases[] = {
        {ENOSPC, "Errore nella copia del file F:\\VORAN\\IMGMAN31.DLL.\nSpazio insufficiente."},
        {ENOENT, "Errore nella copia del file F:\\VORAN\\IMGMAN31.DLL.\nVerificare l'esistenza del file."},
        {EACCES, "Errore nella copia del file F:\\VORAN\\IMGMAN31.DLL.\nVerificare l'esistenza del file."},
        {ENOMEM, "Errore nella copia del file F:\\VORAN\\IMGMAN31.DLL.\nVerificare l'esistenza del file."},
    };
    for (const auto& c : cases) {
        auto boxes = test::with_message_boxes([&] { report_copy_failure(nullptr, c.code, source); });
        ASSERT_EQ(boxes.size(), 1u) << "code " << c.code;
        EXPECT_EQ(boxes[0].caption, "setup");
        EXPECT_EQ(boxes[0].text, c.want) << "code " << c.code;
        EXPECT_FALSE(boxes[0].has_yes_no);
    }
}

TEST_F(Messages, InstallFileReportsAMissingSourceByItsMainPath)
{
    test::ScratchFolder main("msg-main"), client("msg-client");
    int code = -1;
    auto boxes = test::with_message_boxes([&] { code = install_file(nullptr, "VORAN.HLP", main.path.c_str(), client.path.c_str()); });
    EXPECT_EQ(code, ENOENT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Errore nella copia del file " + main.path + "\\VORAN.HLP.\nVerificare l'esistenza del file.");
    EXPECT_FALSE(test::file_exists(client / "VORAN.HLP"));
}

TEST_F(Messages, InstallFileCopiesSilently)
{
    test::ScratchFolder main("ok-main"), client("ok-client");
    ASSERT_TRUE(test::write_file(main / "VORAN.EXE", test::pattern_bytes("VORAN.EXE", 1000)));
    int code = -1;
    auto boxes = test::with_message_boxes([&] { code = install_file(nullptr, "VORAN.EXE", main.path.c_str(), (client.path + "  ").c_str()); });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(test::read_file(client / "VORAN.EXE"), test::pattern_bytes("VORAN.EXE", 1000));
}

} // namespace
