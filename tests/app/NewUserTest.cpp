// What a new user trips over, on the fake window: the save dialog's suffix, the cursor over file
// dialogs, Enter on a focused button, the reason of a failed open, and the preview's request.

#include "DialogRig.h"

#include "app/FileDialogST.h"

using namespace KavexId;

namespace
{
vKit::ECursorShape s_cursor = vKit::ECursorShape::None;
void RecordCursor(vKit::ECursorShape shape)
{
    s_cursor = shape;
}
} // namespace

using NewUser = CDialogRig;

TEST(FileDialogST, SuffixFollowsTheSelectedFilter)
{
    const std::string filter = CKavexDlg::DestinationFilter;
    const struct
    {
        int32_t index;
        const char* defaultExtension;
        const char* suffix;
    } cases[] = {
        {1, "*.tif", "bmp"}, {2, "*.tif", "tif"}, {3, "*.tif", "jpg"}, {4, "*.tif", "tif"}, // "All Files"
        {0, "*.tif", "tif"}, {9, "tif", "tif"},   {4, "*.*", ""},      {4, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFileDialogST::SuffixForFilter(filter, c.index, c.defaultExtension), c.suffix)
            << c.index << " " << c.defaultExtension;
}

TEST_F(NewUser, NoBusyCursorWhileTheUserBrowses)
{
    vKit::CCursorRes::SetApplier(&RecordCursor);
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 1));
    std::vector<vKit::ECursorShape> during;
    m_window.onDialog = [&] { during.push_back(s_cursor); };
    m_window.dialogAnswers = {"", ""};
    dlg.BrowseSource();
    dlg.BrowseDestination();
    EXPECT_EQ(during, (std::vector<vKit::ECursorShape>(2, vKit::ECursorShape::Arrow)));
    EXPECT_EQ(s_cursor, vKit::ECursorShape::Arrow);
    vKit::CCursorRes::SetApplier(nullptr);
}

TEST_F(NewUser, EnterPressesAFocusedEnabledButtonAndAppliesAnEditElsewhere)
{
    CKavexDlg& dlg = Open();
    dlg.OnEnterKey(Start); // greyed without a source: nothing
    dlg.OnEnterKey(SourceBrowse);
    EXPECT_EQ(m_window.requests.size(), 1u);

    dlg.OpenSourceDataset(WriteSlices("s", "rec", 0, 3));
    dlg.OnEnterKey(Start);
    EXPECT_TRUE(CScratchFolder::Exists(NumberedName(m_scratch.Path("s"), "rec_conv_", 3, "bmp")));

    dlg.OnEditFocus(ShiftEdit);
    m_window.SetText(ShiftEdit, "2");
    dlg.OnEnterKey(ShiftEdit);
    EXPECT_EQ(dlg.GetShift(), 2);
}

TEST_F(NewUser, AFailedOpenSaysWhyWhereTheSourceNameStands)
{
    m_scratch.Folder("bad");
    m_scratch.Write("bad/x0000.bmp", "not an image");
    m_scratch.Write("bad/lone_cfg.txt", "[cfg]");
    const struct
    {
        const char* path;
        const char* reason;
    } cases[] = {
        {"bad/x0000.bmp", "x0000.bmp: "},
        {"bad/lone_cfg.txt", "no slice found for lone_cfg.txt"},
    };
    CKavexDlg& dlg = Open();
    for (const auto& c : cases)
    {
        dlg.OpenSourceDataset(m_scratch.Path(c.path));
        EXPECT_FALSE(dlg.IsSourceLoaded());
        EXPECT_EQ(dlg.GetOpenFailure().rfind(c.reason, 0), 0u) << dlg.GetOpenFailure();
        EXPECT_EQ(m_window.GetText(SourceName), CKavexDlg::NotOpenedNote + dlg.GetOpenFailure());
        EXPECT_EQ(m_window.toolTips[SourceName], dlg.GetOpenFailure());
    }
    EXPECT_TRUE(m_window.messages.empty()) << "no message box";
    dlg.OpenSourceDataset(WriteSlices("s", "rec", 0, 1));
    EXPECT_EQ(dlg.GetOpenFailure(), "");
    EXPECT_EQ(m_window.toolTips[SourceName], "");
}

TEST_F(NewUser, PreviewOpensDuringARunWithTheRunsOptions)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 3));
    Pick(FormatList, "jpg");
    Pick(ResizeList, "1/2");
    dlg.OnButtonClicked(InvertRawData);
    const CPreviewRequest r = dlg.MakePreviewRequest(2);
    EXPECT_EQ(std::make_tuple(r.sourceMask, r.destinationMask, r.slice, r.resizeFactor, r.invertRawData),
              std::make_tuple(m_scratch.Path("s") + "/rec????.bmp",
                              m_scratch.Path("s") + "/rec_conv_????.jpg", 2, 2, true));
    m_window.onPump = [&] { dlg.OnMenuCommand(CmdPreview); };
    dlg.OnStartClicked();
    EXPECT_GT(m_window.previews, 0);
}
