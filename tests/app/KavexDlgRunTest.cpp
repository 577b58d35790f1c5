// Running a conversion from the dialog: the overwrite question, the progress bar, cancelling
// through the message pump, failed files, and what is refused while a run goes on.

#include "DialogRig.h"

#include "Base/platform/PlatformTemporary.h"

using namespace KavexId;

namespace
{
std::string Question(const std::string& firstSlice)
{
    return "The destination data set already exist:\r\n" + firstSlice + "\n\rOverwrite?";
}
} // namespace

using KavexDlgRun = CDialogRig;

TEST_F(KavexDlgRun, ConvertsAndAsksBeforeOverwritingWithThreeAnswers)
{
    StoreDefaults(3);
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 4));
    const std::string folder = m_scratch.Path("s");
    auto dest = [&](int32_t n) { return NumberedName(folder, "rec_conv_", n, "jpg"); };

    dlg.OnButtonClicked(Start);
    EXPECT_TRUE(m_window.messages.empty());
    for (int32_t n = 0; n <= 4; ++n)
        EXPECT_TRUE(CScratchFolder::Exists(dest(n))) << n;

    // Marks: a slice replaced by other bytes, another removed.
    m_scratch.Write("s/rec_conv_0002.jpg", "mark");
    std::filesystem::remove(dest(4));

    m_window.answers = {EMessageResult::Cancel};
    dlg.OnButtonClicked(Start);
    EXPECT_EQ(m_window.messages, std::vector<std::string>({Question(dest(0))}));
    EXPECT_FALSE(CScratchFolder::Exists(dest(4)));

    m_window.answers = {EMessageResult::No}; // keep what is there, write what is missing
    dlg.OnButtonClicked(Start);
    EXPECT_EQ(CScratchFolder::Read(dest(2)), "mark");
    EXPECT_TRUE(CScratchFolder::Exists(dest(4)));

    m_window.answers = {EMessageResult::Yes}; // everything written anew
    dlg.OnButtonClicked(Start);
    EXPECT_NE(CScratchFolder::Read(dest(2)), "mark");
    EXPECT_EQ(m_window.messages.size(), 3u);
    EXPECT_EQ(dlg.GetFailedCount(), 0);
}

TEST_F(KavexDlgRun, ASecondClickOrClosingDuringTheRunCancelsThroughThePump)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 39));
    int32_t pumpsSeen = 0;
    bool disabledDuringRun = false;
    m_window.onPump = [&]
    {
        ++pumpsSeen;
        disabledDuringRun = !m_window.IsEnabled(GroupConversion) && !m_window.IsEnabled(SourceBrowse) &&
                            m_window.IsEnabled(Start) && m_window.GetText(Start) == "Cancel converting";
        if (pumpsSeen == 4) dlg.OnButtonClicked(Start); // the user's click, handled inside the pump
    };
    dlg.OnButtonClicked(Start);
    EXPECT_TRUE(disabledDuringRun);
    EXPECT_LT(pumpsSeen, 40);
    EXPECT_EQ(m_window.progressColors.back(), CKavexDlg::ColorDarkRed);
    EXPECT_FALSE(dlg.IsConverting());
    EXPECT_FALSE(CScratchFolder::Exists(NumberedName(m_scratch.Path("s"), "rec_conv_", 39, "bmp")));
    EXPECT_TRUE(m_window.IsEnabled(GroupConversion));

    // Closing cancels the run and closes the window once it has stopped.
    bool allowed = true;
    m_window.onPump = [&]
    {
        if (dlg.IsConverting() && allowed) allowed = dlg.OnCloseRequest();
    };
    m_window.answers = {EMessageResult::Yes};
    dlg.OnButtonClicked(Start);
    EXPECT_FALSE(allowed);
    EXPECT_TRUE(dlg.CloseRequested());
    EXPECT_EQ(m_window.closes, 1);
    EXPECT_EQ(m_window.progressColors.back(), CKavexDlg::ColorDarkRed);
    EXPECT_TRUE(dlg.OnCloseRequest());
}

TEST_F(KavexDlgRun, FilesThatFailAreCountedShownAndColourTheBar)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 3));
    m_scratch.Write("s/rec0002.bmp", "BM but nothing else");
    dlg.OnButtonClicked(Start);
    EXPECT_EQ(dlg.GetFailedCount(), 1);
    EXPECT_EQ(m_window.messages,
              std::vector<std::string>(
                  {"1 file could not be converted:\n\nread: " + m_scratch.Path("s/rec0002.bmp") +
                   ": the file ends at byte 19, its info header needs 54"}));
    EXPECT_EQ(m_window.progressColors.back(), CKavexDlg::ColorDarkRed);
    EXPECT_TRUE(CScratchFolder::Exists(NumberedName(m_scratch.Path("s"), "rec_conv_", 3, "bmp")));
}

TEST_F(KavexDlgRun, DestinationHeldByAnotherRunIsRefusedWithAMessage)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 2));
    vKit::CPlatformLock other;
    ASSERT_EQ(other.TryAcquire(m_scratch.Path("s/.rec_conv_.kavex.lock")), 0);
    dlg.OnButtonClicked(Start);
    ASSERT_EQ(m_window.messages.size(), 1u);
    EXPECT_EQ(m_window.messages[0].rfind(CDatasetConversion::BusyMessage, 0), 0u) << m_window.messages[0];
    EXPECT_EQ(m_window.progressColors.back(), CKavexDlg::ColorDarkRed);
    EXPECT_FALSE(CScratchFolder::Exists(NumberedName(m_scratch.Path("s"), "rec_conv_", 0, "bmp")));
}

TEST_F(KavexDlgRun, DropsOpenTheFirstFileAndAreRefusedDuringARun)
{
    // The first file dropped sorts after the second: the drop's order counts, not the names'.
    const std::string first = WriteSlices("b", "rec", 0, 5);
    const std::string other = WriteSlices("a", "oth", 3, 4);
    CKavexDlg& dlg = Open();
    EXPECT_EQ(dlg.DropTarget().DragEffect(false, {"text/plain"}), CMyDropTarget::EffectNone);
    EXPECT_TRUE(dlg.DropTarget().Drop({NumberedName(m_scratch.Path("b"), "rec", 4, "bmp"), other}));
    EXPECT_EQ(m_window.GetText(SourceName), first);

    bool dropTaken = true;
    m_window.onPump = [&]
    {
        EXPECT_EQ(dlg.DropTarget().DragEffect(true, {"text/uri-list"}), CMyDropTarget::EffectNone);
        dropTaken = dlg.DropTarget().Drop({other});
        dlg.OnMenuCommand(CmdOpenSource);
        dlg.OnMenuCommand(CmdSetDestination);
        EXPECT_FALSE(m_window.menu[CmdOpenSource]);
    };
    dlg.OnButtonClicked(Start);
    EXPECT_FALSE(dropTaken);
    EXPECT_TRUE(m_window.requests.empty());
    EXPECT_EQ(m_window.GetText(SourceName), first);
    EXPECT_TRUE(m_window.menu[CmdOpenSource]);
    EXPECT_TRUE(dlg.DropTarget().Drop({other}));
    EXPECT_EQ(m_window.GetText(SourceName), NumberedName(m_scratch.Path("a"), "oth", 0, "bmp"));
}
