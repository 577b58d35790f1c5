// The main dialog's logic: the layer range and bringing every control in line with the state.

#include "Base/core/Strings.h"
#include "app/ControlIds.h"
#include "app/ConversionPolicy.h"
#include "app/KavexDlg.h"

using namespace KavexId;

namespace
{
const int32_t kSourcePaletteBox[] = {GroupSourcePalette,   SourceMinValue,       SourcePaletteBar,
                                     SourceMaxValue,       SourceHounsfieldLeft, SourceHounsfieldLabel,
                                     SourceHounsfieldRight};
const int32_t kDestinationRow[] = {GroupConversion, FormatList, GroupDest, DestBrowse};
const int32_t kShiftGroup[] = {GroupShift, LayersLabel, TopLabel,  BottomLabel, ShiftLabel, LayersValue,
                               TopEdit,    BottomEdit,  ShiftEdit, TopSpin,     BottomSpin, ShiftSpin};
const int32_t kPaletteGroup[] = {GroupOptions,        GroupPalette,       DestMinValue,
                                 DestMaxValue,        DestHounsfieldLeft, DestHounsfieldLabel,
                                 DestHounsfieldRight, DestPaletteBar};
const int32_t kJpegGroup[] = {GroupJpegQuality, JpegLowLabel, JpegSlider, JpegHighLabel, JpegEdit, JpegSpin};
const int32_t kResizingGroup[] = {GroupResizing, ResizeLabel, InterpolationLabel, ResizeList};
const int32_t kAdditionalGroup[] = {GroupAdditional, GenerateVgi, KeepFileDate, InvertPalette, InvertRawData};

// One shade for every entry: the bar of a source that is not there, or not to be touched.
const vKit::CColorTable& PlainGrey()
{
    static const vKit::CColorTable table = []
    {
        uint8_t entries[vKit::CDib::PaletteSize * 4];
        for (int32_t i = 0; i < vKit::CDib::PaletteSize * 4; ++i)
            entries[i] = (i % 4) == 3 ? 0 : 0xC0;
        vKit::CColorTable t;
        t.SetEntries(entries, vKit::CDib::PaletteSize);
        return t;
    }();
    return table;
}

template <size_t N> constexpr size_t Count(const int32_t (&)[N])
{
    return N;
}
} // namespace

// ---- Layer range.

int32_t CKavexDlg::LimitShift(int32_t newTop, int32_t newBottom) const
{
    vKit::CDataset* destination =
        const_cast<CDatasetConversion&>(m_Conversion).GetDestination()->GetDataset();
    return ConversionPolicy::LimitShift(newTop, newBottom, destination->GetLastNumber(),
                                        destination->GetFirstNumber());
}

void CKavexDlg::StoreLayers(int32_t shift)
{
    vKit::CDataset* destination = m_Conversion.GetDestination()->GetDataset();
    m_nTopLayer = destination->GetLastNumber() + shift;
    m_nBottomLayer = destination->GetFirstNumber() + shift;
    m_nShift = shift;
    UpdateControls();
}

// Each setter keeps the range's length: top and bottom move together by the new shift. Values
// come from edits, so they are widened before the arithmetic; a widened top can only overflow
// upwards and a bottom downwards.
void CKavexDlg::MoveLayers(int64_t top, int64_t bottom)
{
    if (m_bInLayerUpdate) return;
    m_bInLayerUpdate = 1;
    StoreLayers(LimitShift(top > INT32_MAX ? INT32_MAX : static_cast<int32_t>(top),
                           bottom < INT32_MIN ? INT32_MIN : static_cast<int32_t>(bottom)));
    m_bInLayerUpdate = 0;
}

void CKavexDlg::SetTopLayer(int32_t top)
{
    const vKit::CDataset* destination = m_Conversion.GetDestination()->GetDataset();
    MoveLayers(top, int64_t(destination->GetFirstNumber()) + (int64_t(top) - destination->GetLastNumber()));
}

void CKavexDlg::SetBottomLayer(int32_t bottom)
{
    const vKit::CDataset* destination = m_Conversion.GetDestination()->GetDataset();
    MoveLayers(int64_t(destination->GetLastNumber()) + (int64_t(bottom) - destination->GetFirstNumber()),
               bottom);
}

void CKavexDlg::SetShift(int32_t shift)
{
    const vKit::CDataset* destination = m_Conversion.GetDestination()->GetDataset();
    MoveLayers(int64_t(destination->GetLastNumber()) + shift, int64_t(destination->GetFirstNumber()) + shift);
}

// ---- UpdateControls.

void CKavexDlg::EnableControls(const int32_t* ids, size_t count, bool enable)
{
    for (size_t i = 0; i < count; ++i)
        m_Window.Enable(ids[i], enable);
}

bool CKavexDlg::DestinationIsJpeg() const
{
    const std::string extension = vKit::GetPathExtension(m_strDestPath);
    return vKit::EqualsNoCase(extension, "jpg") || vKit::EqualsNoCase(extension, "jpeg");
}

void CKavexDlg::UpdateEnabling()
{
    const bool e = m_bSourceLoaded && !m_bConverting;
    m_Window.Enable(SourceBrowse, !m_bConverting);
    EnableControls(kSourcePaletteBox, Count(kSourcePaletteBox), e);
    EnableControls(kDestinationRow, Count(kDestinationRow), e);
    EnableControls(kShiftGroup, Count(kShiftGroup), e && m_Conversion.IsNoResizing());
    EnableControls(kPaletteGroup, Count(kPaletteGroup), e);
    EnableControls(kJpegGroup, Count(kJpegGroup), e && DestinationIsJpeg());
    EnableControls(kResizingGroup, Count(kResizingGroup), e);
    m_Window.Enable(InterpolationList, e && m_Conversion.IsResizing());
    EnableControls(kAdditionalGroup, Count(kAdditionalGroup), e);
    m_Window.EnableMenuItem(CmdOpenSource, !m_bConverting);
    m_Window.EnableMenuItem(CmdSetDestination, e);
}

void CKavexDlg::UpdateCheckBoxes()
{
    const bool e = m_bSourceLoaded && !m_bConverting;
    m_Window.SetCheck(GenerateVgi, m_Conversion.GetGenerateVgi() ? 1 : 0);
    m_Window.Enable(GenerateVgi, e && m_Conversion.IsDestination8Bit());
    m_Window.SetCheck(KeepFileDate, m_Conversion.GetKeepFileTime() ? 1 : 0);
    if (m_Conversion.IsDestinationBmp())
    {
        m_Window.SetCheck(InvertPalette, m_Conversion.GetInvertPalette() ? 1 : 0);
        m_Window.Enable(InvertPalette, e);
    }
    else
    {
        m_Window.SetCheck(InvertPalette, 0);
        m_Window.Enable(InvertPalette, false);
    }
    m_Window.SetCheck(InvertRawData, m_Conversion.GetInvertRawData() ? 1 : 0);
}

void CKavexDlg::SetTextIfChanged(int32_t id, const std::string& text)
{
    if (m_Window.GetText(id) != text) m_Window.SetText(id, text);
}

void CKavexDlg::SetSpinIfChanged(int32_t id, int32_t pos)
{
    if (m_Window.GetSpinPos(id) != pos) m_Window.SetSpinPos(id, pos);
}

void CKavexDlg::UpdateNumbers()
{
    SetTextIfChanged(JpegEdit, std::to_string(m_nJpegQuality));
    SetSpinIfChanged(JpegSpin, m_nJpegQuality);
    if (m_Window.GetSliderPos(JpegSlider) != m_nJpegQuality)
        m_Window.SetSliderPos(JpegSlider, m_nJpegQuality);
    SetTextIfChanged(TopEdit, std::to_string(m_nTopLayer));
    SetTextIfChanged(BottomEdit, std::to_string(m_nBottomLayer));
    SetTextIfChanged(ShiftEdit, std::to_string(m_nShift));
    SetSpinIfChanged(TopSpin, m_nTopLayer);
    SetSpinIfChanged(BottomSpin, m_nBottomLayer);
    SetSpinIfChanged(ShiftSpin, m_nShift);
}

void CKavexDlg::UpdatePaletteLabels()
{
    const vKit::CImageInfo& info = m_FirstSlice.Info();
    const std::string sourceMax = info.GetSignificantBits() == 16 ? "65535" : "255";
    const std::string destMax = m_Conversion.UpdateDestinationBits() == 16 ? "65535" : "255";
    SetTextIfChanged(SourceMinValue, "0");
    SetTextIfChanged(SourceMaxValue, sourceMax);
    const bool inverted = m_Conversion.IsDestinationRangeInverted();
    SetTextIfChanged(DestMinValue, inverted ? destMax : "0");
    SetTextIfChanged(DestMaxValue, inverted ? "0" : destMax);

    const std::string undefined = "Undefined";
    const bool calibrated = m_bSourceLoaded && info.HasPrivatePair();
    const std::string left = calibrated ? std::to_string(info.GetPrivateA()) : undefined;
    const std::string right = calibrated ? std::to_string(info.GetPrivateB()) : undefined;
    SetTextIfChanged(SourceHounsfieldLeft, left);
    SetTextIfChanged(SourceHounsfieldRight, right);
    // A volume description replaces the private block, so the destination loses the calibration.
    const bool destCalibrated = calibrated && !m_Conversion.GetGenerateVgi();
    SetTextIfChanged(DestHounsfieldLeft, destCalibrated ? left : undefined);
    SetTextIfChanged(DestHounsfieldRight, destCalibrated ? right : undefined);
}

void CKavexDlg::UpdatePaletteBars()
{
    const vKit::CColorTable grey(vKit::CDib::PaletteSize);
    const vKit::CColorTable& source = m_Conversion.GetSourcePalette();
    if (!m_bSourceLoaded || m_bConverting)
        m_SourcePaletteDib.SetPalette(PlainGrey());
    else
        m_SourcePaletteDib.SetPalette(source.GetCount() > 0 ? source : grey);
    m_SourcePaletteDib.FillRamp(false);
    m_Window.SetPicture(SourcePaletteBar, m_SourcePaletteDib);

    m_DestPaletteDib.SetPalette(grey);
    m_DestPaletteDib.FillRamp(m_Conversion.IsDestinationPaletteFalling());
    m_Window.SetPicture(DestPaletteBar, m_DestPaletteDib);
}

void CKavexDlg::UpdateControls()
{
    UpdateEnabling();
    UpdatePaletteBars();
    UpdateCheckBoxes();
    UpdateNumbers();
    m_Window.Enable(Start, m_Conversion.CanConvert());
    UpdatePaletteLabels();
    vKit::CDataset* source = m_Conversion.GetSource()->GetDataset();
    SetTextIfChanged(LayersValue, std::to_string(source->GetCount()));
    if (m_onChange) m_onChange();
}
