// The main dialog's options: opening a source or why it failed, the proposed destination, the layer
// range, the Enter key, what each option enables, the palette and Hounsfield labels, the stored
// defaults and the preview's request.

#include "DialogRig.h"

#include <tuple>

using namespace KavexId;

// Controls enabled and disabled together.
const int32_t kShiftGroup[] = {GroupShift, TopEdit, BottomEdit, ShiftEdit, TopSpin, BottomSpin, ShiftSpin};
const int32_t kJpegGroup[] = {GroupJpegQuality, JpegSlider, JpegEdit, JpegSpin, JpegLowLabel, JpegHighLabel};

using KavexDlg = CDialogRig;

// Bottom, top and shift as the dialog holds them.
#define EXPECT_LAYERS(dlg, bottom, top, shift)                                                               \
    EXPECT_EQ(std::make_tuple((dlg).GetBottomLayer(), (dlg).GetTopLayer(), (dlg).GetShift()),                \
              std::make_tuple(bottom, top, shift))

TEST_F(KavexDlg, StartsEmptyWithTheStoredDefaultsAndTheMenuAndEnterReachTheirTargets)
{
    CKavexDlg& dlg = Open();
    EXPECT_TRUE(m_window.IsEnabled(SourceBrowse));
    for (int32_t id : {GroupConversion, FormatList, DestBrowse, GroupShift, ResizeList, GenerateVgi, Start})
        EXPECT_FALSE(m_window.IsEnabled(id)) << id;
    EXPECT_FALSE(m_window.menu[CmdSetDestination]);
    EXPECT_EQ(m_window.SelectedText(FormatList), "bmp");
    EXPECT_EQ(m_window.SelectedText(ResizeList), "No resizing");

    dlg.OnMenuCommand(CmdSetDestination); // no source: nothing to choose
    EXPECT_TRUE(m_window.requests.empty());
    dlg.OnMenuCommand(CmdOpenSource);
    dlg.OnEnterKey(SourceBrowse);
    ASSERT_EQ(m_window.requests.size(), 2u);
    EXPECT_EQ(m_window.requests[1].strFilter, CKavexDlg::SourceFilter);
    dlg.OnMenuCommand(CmdAbout);
    dlg.OnMenuCommand(CmdSysAbout);
    EXPECT_EQ(m_window.abouts, 2);
    dlg.OnMenuCommand(CmdHelp);
    dlg.OnHelpRequest(ShiftEdit);
    EXPECT_EQ(m_window.helps, (std::vector<int32_t>{0, ShiftEdit}));
    // The preview only looks, so it opens during a run too; what it shows is the Qt tests' part.
    dlg.OpenSourceDataset(WriteSlices("s", "rec", 0, 3));
    m_window.onPump = [&] { dlg.OnMenuCommand(CmdPreview); };
    dlg.OnStartClicked();
    EXPECT_GT(m_window.previews, 0);
    dlg.OnMenuCommand(CmdExit);
    EXPECT_EQ(m_window.closes, 1);
    EXPECT_TRUE(dlg.OnCloseRequest());
}

TEST_F(KavexDlg, CommandLinePathOpensTheSourceAndAChosenDestinationFolderHoldsTheNextProposals)
{
    StoreDefaults(3);
    const std::string first = WriteSlices("a", "rec", 0, 99);
    const std::string second = WriteSlices("b", "scan", 5, 9);
    const std::string folder = m_scratch.Path("a");
    CKavexDlg& dlg = Open(NumberedName(folder, "rec", 57, "bmp"));
    ASSERT_TRUE(dlg.IsSourceLoaded());
    EXPECT_EQ(m_window.GetText(SourceName), first);
    EXPECT_EQ(dlg.GetDestPath(), folder + "/rec_conv_????.jpg"); // beside the source
    EXPECT_EQ(m_window.GetText(DestName), folder + "/rec_conv_0000.jpg");
    EXPECT_EQ(m_window.GetText(LayersValue), "100");
    EXPECT_LAYERS(dlg, 0, 99, 0);
    EXPECT_TRUE(m_window.IsEnabled(Start) && m_window.menu[CmdSetDestination]);
    EXPECT_EQ(m_window.pictureFirstColumn[DestPaletteBar], MakeRgb(0, 0, 0)); // JPEG has no palette: rising

    const std::string chosen = m_scratch.Folder("out");
    m_window.dialogAnswers = {chosen + "/small0000.tif"};
    dlg.OnButtonClicked(DestBrowse);
    ASSERT_EQ(m_window.requests.size(), 1u);
    EXPECT_EQ(m_window.requests[0].nFilterIndex, 3); // the destination was "jpg"
    EXPECT_EQ(m_window.requests[0].strInitialName, "rec_conv_");
    EXPECT_TRUE(m_window.requests[0].bConfirmOverwrite);
    EXPECT_EQ(dlg.GetDestPath(), chosen + "/small????.tif");
    EXPECT_EQ(m_window.SelectedText(FormatList), "tif");

    dlg.OpenSourceDataset(second);
    EXPECT_EQ(dlg.GetDestPath(), chosen + "/scan_conv_????.jpg");
    // A failed open in between does not lose the folder either.
    dlg.OpenSourceDataset(m_scratch.Path("a/nothing0000.bmp"));
    EXPECT_TRUE(dlg.IsSourceLoaded());
    EXPECT_EQ(m_window.GetText(SourceName), "Not opened: no slice found for nothing0000.bmp");
    dlg.OpenSourceDataset(second);
    EXPECT_EQ(dlg.GetDestPath(), chosen + "/scan_conv_????.jpg");
}

TEST_F(KavexDlg, LayerEditsMoveTheWholeRangeWithinZeroTo9999AndEnterAppliesThem)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 99));
    dlg.OnEditFocus(ShiftEdit);
    m_window.SetText(ShiftEdit, "7");
    dlg.OnEnterKey(ShiftEdit);
    EXPECT_LAYERS(dlg, 7, 106, 7);
    dlg.OnEditKillFocus(ShiftEdit);
    m_window.SetText(TopEdit, "500");
    dlg.OnOK(); // no layer edit has the focus now
    EXPECT_EQ(dlg.GetShift(), 7);

    Type(TopEdit, "120");
    EXPECT_LAYERS(dlg, 21, 120, 21);
    EXPECT_EQ(m_window.GetText(BottomEdit) + " " + std::to_string(m_window.GetSpinPos(ShiftSpin)), "21 21");
    Type(TopEdit, "10050");
    EXPECT_LAYERS(dlg, 9900, 9999, 9900);
    Type(ShiftEdit, "-5");
    EXPECT_LAYERS(dlg, 0, 99, 0);
    Type(TopEdit, "abc"); // no number reads as 0: the bottom would fall below 0
    EXPECT_EQ(dlg.GetShift(), 0);
    dlg.OnSpinChanged(BottomSpin, 7);
    EXPECT_EQ(m_window.GetText(TopEdit), "106");

    dlg.OpenSourceDataset(WriteSlices("t", "rec", 10, 19));
    Type(BottomEdit, "0");
    EXPECT_LAYERS(dlg, 0, 9, -10);
    Type(BottomEdit, "50");
    EXPECT_LAYERS(dlg, 50, 59, 40);
}

TEST_F(KavexDlg, ResizingAndTheFormatDecideWhatIsOfferedAndThePalettes)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 9));
    // Resizing swaps the shift group for the interpolation list.
    EXPECT_FALSE(m_window.IsEnabled(InterpolationList));
    Pick(ResizeList, "1/2");
    EXPECT_EQ(dlg.Conversion().GetResizeFactor(), 2);
    for (int32_t id : kShiftGroup)
        EXPECT_FALSE(m_window.IsEnabled(id)) << id;
    EXPECT_TRUE(m_window.IsEnabled(InterpolationList));
    Pick(InterpolationList, "3D averaging interpolation (slow)");
    EXPECT_EQ(dlg.Conversion().GetResizeQuality(), 3);
    Pick(ResizeList, "No resizing");
    for (int32_t id : kShiftGroup)
        EXPECT_TRUE(m_window.IsEnabled(id)) << id;
    EXPECT_FALSE(m_window.IsEnabled(InterpolationList));

    // bmp destination: "Invert colour palette" offered; both bars show the falling palette.
    EXPECT_TRUE(m_window.IsEnabled(InvertPalette));
    EXPECT_EQ(m_window.pictureFirstColumn[SourcePaletteBar], MakeRgb(255, 255, 255));
    dlg.OnButtonClicked(InvertPalette);
    EXPECT_EQ(m_window.GetCheck(InvertPalette), 1);
    EXPECT_EQ(m_window.GetText(DestMaxValue), "255");
    for (int32_t id : kJpegGroup)
        EXPECT_FALSE(m_window.IsEnabled(id)) << id;

    Pick(FormatList, "tif");
    EXPECT_EQ(dlg.GetDestPath(), m_scratch.Path("s") + "/rec_conv_????.tif");
    // The falling BMP palette makes the TIFF values inverted: the top value stands on the left.
    EXPECT_EQ(m_window.GetText(DestMinValue) + " " + m_window.GetText(DestMaxValue), "65535 0");
    EXPECT_EQ(m_window.GetCheck(InvertPalette), 0);
    EXPECT_FALSE(m_window.IsEnabled(InvertPalette) || m_window.IsEnabled(GenerateVgi));

    Pick(FormatList, "jpg");
    for (int32_t id : kJpegGroup)
        EXPECT_TRUE(m_window.IsEnabled(id)) << id;
    EXPECT_EQ(m_window.GetText(DestMinValue), "255");
    dlg.OnSliderChanged(70);
    EXPECT_EQ(m_window.GetText(JpegEdit), "70");
    dlg.OnSpinChanged(JpegSpin, 71);
    EXPECT_EQ(m_window.GetSliderPos(JpegSlider), 71);

    Pick(FormatList, "bmp");
    EXPECT_TRUE(m_window.IsEnabled(InvertPalette));
    EXPECT_EQ(m_window.GetCheck(InvertPalette), 1); // the job kept the choice
    // The falling palette reversed: the destination bar now runs from black to white.
    EXPECT_EQ(m_window.pictureFirstColumn[DestPaletteBar], MakeRgb(0, 0, 0));
}

TEST_F(KavexDlg, HounsfieldLabelsFollowTheCalibrationAndTheVolumeDescription)
{
    CKavexDlg& dlg = Open(WriteSlices("s", "rec", 0, 3));
    std::string labels;
    for (int32_t id : {SourceHounsfieldLeft, SourceHounsfieldRight, DestHounsfieldLeft, DestHounsfieldRight})
        labels += m_window.GetText(id) + " ";
    EXPECT_EQ(labels, "-1000 3000 -1000 3000 ");
    dlg.OnButtonClicked(GenerateVgi);
    EXPECT_EQ(m_window.GetText(DestHounsfieldLeft) + m_window.GetText(DestHounsfieldRight),
              "UndefinedUndefined");
    dlg.OpenSourceDataset(WriteSlices("plain", "p", 0, 3, false));
    EXPECT_EQ(m_window.GetText(SourceHounsfieldRight), "Undefined");
}

TEST_F(KavexDlg, SaveAsDefaultStoresOptionsButNotTheLayerRange)
{
    const std::string source = WriteSlices("s", "rec", 0, 99);
    CKavexDlg& dlg = Open(source);
    Pick(FormatList, "jpg");
    dlg.OnSliderChanged(70);
    dlg.OnButtonClicked(KeepFileDate);
    Type(ShiftEdit, "5");
    dlg.OnButtonClicked(SaveDefault);
    Close();

    CKavexDlg& again = Open(source);
    EXPECT_LAYERS(again, 0, 99, 0);
    EXPECT_EQ(again.GetJpegQuality(), 70);
    EXPECT_EQ(again.GetDestPath(), m_scratch.Path("s") + "/rec_conv_????.jpg");
    EXPECT_EQ(m_window.GetCheck(KeepFileDate), 1);
}

TEST_F(KavexDlg, AnUnreadableFirstSliceSaysWhyAndReturnsToTheDefaults)
{
    m_scratch.Folder("bad");
    m_scratch.Write("bad/x0000.bmp", "not an image");
    CKavexDlg& dlg = Open(m_scratch.Path("bad/x0000.bmp"));
    EXPECT_FALSE(dlg.IsSourceLoaded() || m_window.IsEnabled(Start) || !dlg.GetSourcePath().empty());
    EXPECT_EQ(dlg.GetOpenFailure().rfind("x0000.bmp: ", 0), 0u) << dlg.GetOpenFailure();
    // Where the source name stands, not in a message box.
    EXPECT_EQ(m_window.GetText(SourceName), CKavexDlg::NotOpenedNote + dlg.GetOpenFailure());
    EXPECT_EQ(m_window.toolTips[SourceName], dlg.GetOpenFailure());
    EXPECT_TRUE(m_window.messages.empty());
    dlg.OpenSourceDataset(WriteSlices("s", "rec", 0, 1));
    EXPECT_EQ(m_window.toolTips[SourceName] + dlg.GetOpenFailure(), "");
}
