#pragma once
// Identifiers of the main dialog's controls (template 102), of its menu (129) and of the About box
// (template 100). The dialog logic addresses every control through these numbers.

#include <cstdint>

namespace KavexId
{

// Main dialog, template 102.
inline constexpr int32_t MainDialog = 102;
inline constexpr int32_t Progress = 1001;         // progress bar
inline constexpr int32_t Start = 1002;            // "Start converting"
inline constexpr int32_t GroupOptions = 1003;     // "Options"
inline constexpr int32_t GroupConversion = 1004;  // "Conversion options"
inline constexpr int32_t GroupDestPalette = 1005; // "Destination colour palette"
inline constexpr int32_t GroupJpegQuality = 1006; // "Image compression quality"
inline constexpr int32_t GroupResizing = 1007;    // "Resizing"
inline constexpr int32_t GroupAdditional = 1008;  // "Additional"
inline constexpr int32_t DestMaxValue = 1009;     // destination value, right end
inline constexpr int32_t DestPaletteBar = 1010;
inline constexpr int32_t GroupSourcePalette = 1011; // "Source colour palette"
inline constexpr int32_t DestHounsfieldLeft = 1012;
inline constexpr int32_t DestHounsfieldRight = 1013;
inline constexpr int32_t JpegSlider = 1014;
inline constexpr int32_t SourceMaxValue = 1015; // source value, right end
inline constexpr int32_t SourcePaletteBar = 1016;
inline constexpr int32_t JpegEdit = 1017;
inline constexpr int32_t JpegSpin = 1018;
inline constexpr int32_t ResizeList = 1019;
inline constexpr int32_t ResizeLabel = 1020;
inline constexpr int32_t GenerateVgi = 1021;
inline constexpr int32_t KeepFileDate = 1022;
inline constexpr int32_t InterpolationLabel = 1023; // "Quality"
inline constexpr int32_t SourceHounsfieldLeft = 1024;
inline constexpr int32_t SourceBrowse = 1025;
inline constexpr int32_t DestBrowse = 1026;
inline constexpr int32_t SourceHounsfieldRight = 1027;
inline constexpr int32_t FormatList = 1028;
inline constexpr int32_t DestName = 1029;
inline constexpr int32_t SourceName = 1030;
inline constexpr int32_t DestMinValue = 1031; // destination value, left end
inline constexpr int32_t DestHounsfieldLabel = 1032;
inline constexpr int32_t JpegLowLabel = 1033;
inline constexpr int32_t JpegHighLabel = 1034;
inline constexpr int32_t SourceMinValue = 1035; // source value, left end
inline constexpr int32_t InterpolationList = 1036;
inline constexpr int32_t SourceHounsfieldLabel = 1037;
inline constexpr int32_t InvertPalette = 1038;
inline constexpr int32_t InvertRawData = 1039;
inline constexpr int32_t SaveDefault = 1043;
inline constexpr int32_t TopEdit = 1044;
inline constexpr int32_t TopSpin = 1045;
inline constexpr int32_t BottomEdit = 1046;
inline constexpr int32_t BottomSpin = 1047;
inline constexpr int32_t ShiftEdit = 1048;
inline constexpr int32_t ShiftSpin = 1049;
inline constexpr int32_t TopLabel = 1050;
inline constexpr int32_t ShiftLabel = 1051;
inline constexpr int32_t BottomLabel = 1052;
inline constexpr int32_t LayersLabel = 1053; // "Number of layers:"
inline constexpr int32_t LayersValue = 1054;
inline constexpr int32_t GroupPalette = 1055; // "Colour palette"
inline constexpr int32_t GroupDest = 1056;    // "Destination data set"
inline constexpr int32_t GroupShift = 1057;   // "Shift options"
inline constexpr int32_t GroupSource = 1000;  // "Source data set"

// Menu 129 and the system menu.
inline constexpr int32_t Menu = 129;
inline constexpr int32_t CmdOpenSource = 57601;
inline constexpr int32_t CmdSetDestination = 57603;
inline constexpr int32_t CmdExit = 32772;
inline constexpr int32_t CmdHelp = 32773;
inline constexpr int32_t CmdAbout = 32774;
inline constexpr int32_t CmdPreview = 32775; // the slice preview, beyond the original menu
inline constexpr int32_t CmdSysAbout = 16;

// About box, template 100.
inline constexpr int32_t AboutDialog = 100;
inline constexpr int32_t AboutOk = 1;
inline constexpr int32_t AboutPicture = 1040;
inline constexpr int32_t AboutLink = 1041;
inline constexpr int32_t AboutVersion = 1042;

} // namespace KavexId
