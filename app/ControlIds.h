#pragma once
// Identifiers of the main dialog's controls (template 102), of its menu (129) and of the About box
// (template 100). The dialog logic addresses every control through these numbers.

#include <cstdint>

namespace KavexId
{

// Main dialog, template 102.
inline constexpr int32_t MainDialog = 102;

// Its controls, numbered in sequence from 1000, with the About box's own three among them.
enum : int32_t
{
    GroupSource = 1000, // "Source data set"
    Progress,           // progress bar
    Start,              // "Start converting"
    GroupOptions,       // "Options"
    GroupConversion,    // "Conversion options"
    GroupDestPalette,   // "Destination colour palette"
    GroupJpegQuality,   // "Image compression quality"
    GroupResizing,      // "Resizing"
    GroupAdditional,    // "Additional"
    DestMaxValue,       // destination value, right end
    DestPaletteBar,
    GroupSourcePalette, // "Source colour palette"
    DestHounsfieldLeft,
    DestHounsfieldRight,
    JpegSlider,
    SourceMaxValue, // source value, right end
    SourcePaletteBar,
    JpegEdit,
    JpegSpin,
    ResizeList,
    ResizeLabel,
    GenerateVgi,
    KeepFileDate,
    InterpolationLabel, // "Quality"
    SourceHounsfieldLeft,
    SourceBrowse,
    DestBrowse,
    SourceHounsfieldRight,
    FormatList,
    DestName,
    SourceName,
    DestMinValue, // destination value, left end
    DestHounsfieldLabel,
    JpegLowLabel,
    JpegHighLabel,
    SourceMinValue, // source value, left end
    InterpolationList,
    SourceHounsfieldLabel,
    InvertPalette,
    InvertRawData,
    AboutPicture, // About box, template 100
    AboutLink,    // About box
    AboutVersion, // About box
    SaveDefault,
    TopEdit,
    TopSpin,
    BottomEdit,
    BottomSpin,
    ShiftEdit,
    ShiftSpin,
    TopLabel,
    ShiftLabel,
    BottomLabel,
    LayersLabel, // "Number of layers:"
    LayersValue,
    GroupPalette, // "Colour palette"
    GroupDest,    // "Destination data set"
    GroupShift,   // "Shift options"
};

// Menu 129 and the system menu.
inline constexpr int32_t Menu = 129;
inline constexpr int32_t CmdOpenSource = 57601;
inline constexpr int32_t CmdSetDestination = 57603;
enum : int32_t
{
    CmdExit = 32772,
    CmdHelp,
    CmdAbout,
    CmdPreview, // the slice preview, beyond the original menu
};
inline constexpr int32_t CmdSysAbout = 16;

// About box, template 100 (its picture, link and version are numbered among the controls above).
inline constexpr int32_t AboutDialog = 100;
inline constexpr int32_t AboutOk = 1;

} // namespace KavexId
