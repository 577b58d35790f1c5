// The main dialog's logic: construction, the window's events, reset, opening the source,
// choosing the destination and the option lists. Enabling and drawing are in
// KavexDlgControls.cpp, the run in KavexDlgRun.cpp.

#include "app/KavexDlg.h"

#include "Base/core/Strings.h"
#include "app/ControlIds.h"
#include "app/ConversionPolicy.h"
#include "app/DatasetDialogs.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <utility>

using namespace KavexId;
using namespace ConversionPolicy;

namespace
{
// Decimal text as the platform's edit parsing reads it: leading number, else 0.
int32_t ParseLayerText(const std::string& text)
{
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The check boxes that each flip one flag of the job.
struct SJobFlag
{
    int32_t id;
    bool (CDatasetConversion::*get)() const;
    CDatasetConversion& (CDatasetConversion::*set)(bool);
};
constexpr SJobFlag kJobFlags[] = {
    {GenerateVgi, &CDatasetConversion::GetGenerateVgi, &CDatasetConversion::SetGenerateVgi},
    {KeepFileDate, &CDatasetConversion::GetKeepFileTime, &CDatasetConversion::SetKeepFileTime},
    {InvertPalette, &CDatasetConversion::GetInvertPalette, &CDatasetConversion::SetInvertPalette},
    {InvertRawData, &CDatasetConversion::GetInvertRawData, &CDatasetConversion::SetInvertRawData},
};
} // namespace

CKavexDlg::CKavexDlg(CWindowOps& window)
    : m_Window(window), m_DropTarget(m_DroppedFiles), m_FormatList(window, FormatList),
      m_ResizeList(window, ResizeList), m_InterpolationList(window, InterpolationList)
{
    for (int32_t format : {FormatBmp, FormatTif, FormatJpg})
        m_FormatList.AddItem(ExtensionOfFormat(format), format);
    m_ResizeList.AddItem("No resizing", 1);
    m_ResizeList.AddItem("1/2", 2);
    m_ResizeList.AddItem("1/4", 4);
    m_ResizeList.AddItem("1/8", 8);
    m_InterpolationList.AddItem("No interpolation (Fast)", ResizeFast);
    m_InterpolationList.AddItem("2D averaging interpolation", ResizeAverage2D);
    m_InterpolationList.AddItem("3D averaging interpolation (slow)", ResizeAverage3D);
    m_SourcePaletteDib.Create(vKit::CDib::PaletteSize, 8);
    m_DestPaletteDib.Create(vKit::CDib::PaletteSize, 8);
}

CKavexDlg::~CKavexDlg()
{
    UnhookEvents();
}

CUserInfo& CKavexDlg::Defaults()
{
    return *CUserConfig::GetUserInfo();
}

void CKavexDlg::ShowCursor(vKit::ECursorShape shape)
{
    m_Cursor.Show(static_cast<int32_t>(shape)); // the table's kinds follow the shapes' order
}

// ---- Window events.

void CKavexDlg::OnInitDialog()
{
    ShowCursor(vKit::ECursorShape::AppStarting);
    ResetDialog();
    HookEvents();
    UpdateControls();
    ShowCursor(vKit::ECursorShape::Arrow);
    // A path handed over on the command line opens as the source at once.
    if (!m_strSourcePath.empty()) OpenSourceDataset(m_strSourcePath);
}

void CKavexDlg::OnDestroy()
{
    UnhookEvents();
}

void CKavexDlg::OnButtonClicked(int32_t id)
{
    static constexpr std::pair<int32_t, void (CKavexDlg::*)()> kActions[] = {
        {SourceBrowse, &CKavexDlg::BrowseSource},
        {DestBrowse, &CKavexDlg::BrowseDestination},
        {SaveDefault, &CKavexDlg::SaveAsDefault},
        {Start, &CKavexDlg::OnStartClicked},
    };
    for (const auto& [button, action] : kActions)
        if (button == id) return (this->*action)();
    ToggleJobFlag(id);
}

void CKavexDlg::ToggleJobFlag(int32_t id)
{
    if (m_bConverting) return;
    const auto* flag = std::find_if(std::begin(kJobFlags), std::end(kJobFlags),
                                    [id](const SJobFlag& f) { return f.id == id; });
    if (flag == std::end(kJobFlags)) return;
    (m_Conversion.*flag->set)(!(m_Conversion.*flag->get)());
    UpdateControls();
    if (id == InvertPalette) m_Window.Repaint();
}

void CKavexDlg::OnMenuCommand(int32_t command)
{
    switch (command)
    {
    case CmdOpenSource:
        BrowseSource();
        break;
    case CmdSetDestination:
        if (m_bSourceLoaded) BrowseDestination();
        break;
    case CmdExit:
        m_Window.Close();
        break;
    case CmdHelp:
        m_Window.ShowHelp(0);
        break;
    case CmdPreview:
        // Only looks: allowed during a run too.
        m_Window.ShowPreview();
        break;
    case CmdAbout:
    case CmdSysAbout:
        m_Window.ShowAbout();
        break;
    default:
        break;
    }
}

void CKavexDlg::OnListSelectionChanged(int32_t id)
{
    if (id == FormatList)
        m_FormatList.OnSelectionChanged();
    else if (id == ResizeList)
        m_ResizeList.OnSelectionChanged();
    else if (id == InterpolationList)
        m_InterpolationList.OnSelectionChanged();
}

void CKavexDlg::OnSpinChanged(int32_t id, int32_t pos)
{
    switch (id)
    {
    case TopSpin:
        SetTopLayer(pos);
        break;
    case BottomSpin:
        SetBottomLayer(pos);
        break;
    case ShiftSpin:
        SetShift(pos);
        break;
    case JpegSpin:
        m_nJpegQuality = pos;
        UpdateControls();
        break;
    default:
        break;
    }
}

void CKavexDlg::OnSliderChanged(int32_t pos)
{
    m_nJpegQuality = pos;
    UpdateControls();
}

void CKavexDlg::OnEditFocus(int32_t id)
{
    if (id == TopEdit || id == BottomEdit || id == ShiftEdit) m_nFocusedLayerEdit = id;
}

void CKavexDlg::OnEditKillFocus(int32_t id)
{
    if (id != TopEdit && id != BottomEdit && id != ShiftEdit) return;
    ApplyLayerEdit(id);
    m_nFocusedLayerEdit = 0;
}

void CKavexDlg::ApplyLayerEdit(int32_t id)
{
    const int32_t value = ParseLayerText(m_Window.GetText(id));
    if (id == TopEdit)
        SetTopLayer(value);
    else if (id == BottomEdit)
        SetBottomLayer(value);
    else if (id == ShiftEdit)
        SetShift(value);
}

void CKavexDlg::OnOK()
{
    if (m_nFocusedLayerEdit != 0) ApplyLayerEdit(m_nFocusedLayerEdit);
}

void CKavexDlg::OnEnterKey(int32_t focusedId)
{
    switch (focusedId)
    {
    case SourceBrowse:
    case DestBrowse:
    case SaveDefault:
    case Start:
        if (m_Window.IsEnabled(focusedId)) OnButtonClicked(focusedId);
        return;
    default:
        OnOK();
    }
}

bool CKavexDlg::OnCloseRequest()
{
    if (!m_bConverting) return true;
    // Closing in the middle of a run would leave the job running inside a gone window.
    m_bCloseAfterRun = 1;
    m_Conversion.GetProgress().SetCancelRequested(true);
    return false;
}

void CKavexDlg::OnHelpRequest(int32_t callerId)
{
    m_Window.ShowHelp(callerId);
}

// ---- Reset and the lists.

void CKavexDlg::FillLists()
{
    const SDefaults defaults = ReadDefaults(Defaults());
    m_FormatList.Fill();
    m_FormatList.SelectByValue(defaults.format);
    m_ResizeList.Fill();
    m_ResizeList.SelectByValue(defaults.resize);
    m_InterpolationList.Fill();
    m_InterpolationList.SelectByValue(defaults.interpolation);
    // A stored value without an entry leaves its list empty and the job as it was.
    if (m_ResizeList.HasSelection()) m_Conversion.SetResizeFactor(m_ResizeList.GetSelectedValue());
    if (m_InterpolationList.HasSelection())
        m_Conversion.SetResizeQuality(m_InterpolationList.GetSelectedValue());
}

void CKavexDlg::ResetDialog()
{
    m_nFocusedLayerEdit = 0;
    m_Window.SetText(SourceName, "");
    m_Window.SetText(DestName, "");
    m_SourceDataset.Init();
    m_DestDataset.Init();
    m_bInLayerUpdate = 0;
    m_strDestPath.clear();
    m_bConverting = 0;

    const SDefaults defaults = ReadDefaults(Defaults());
    m_Conversion.SetKeepFileTime(defaults.keepFileTimes);
    m_Conversion.SetInvertRawData(defaults.invertRaw);
    m_Conversion.SetGenerateVgi(defaults.vgi);
    m_Conversion.SetInvertPalette(defaults.invertPalette);

    m_nTopLayer = m_nBottomLayer = m_nShift = 0;
    m_nJpegQuality = defaults.jpegQuality;
    m_Window.SetText(JpegEdit, std::to_string(m_nJpegQuality));

    m_Window.SetSliderRange(JpegSlider, 0, 100);
    m_Window.SetSliderTicks(JpegSlider, 10);
    m_Window.SetSliderPos(JpegSlider, m_nJpegQuality);
    m_Window.SetSpinRange(JpegSpin, 0, 100);
    m_Window.SetSpinPos(JpegSpin, m_nJpegQuality);
    m_Window.SetSpinRange(TopSpin, 0, LayerLimit);
    m_Window.SetSpinPos(TopSpin, 0);
    m_Window.SetSpinRange(BottomSpin, 0, LayerLimit);
    m_Window.SetSpinPos(BottomSpin, 0);
    m_Window.SetSpinRange(ShiftSpin, -LayerLimit, LayerLimit);
    m_Window.SetSpinPos(ShiftSpin, 0);

    FillLists();

    m_Window.SetProgressRange(Progress, 0, 100);
    m_Window.SetProgressStep(Progress, 1);
    m_Window.SetProgressPos(Progress, 0);
    m_Window.SetProgressColor(Progress, ColorNavy);
}

// ---- Source and destination.

void CKavexDlg::OpenSourceDataset(const std::string& path)
{
    ShowCursor(vKit::ECursorShape::Wait);
    m_strSourcePath = path;
    m_SourceDataset.SetSlicesOnly(true);
    m_SourceDataset.Open(path);
    m_SourceDataset.CollectNumberGaps();

    std::string failure;
    if (m_SourceDataset.GetCount() == 0)
        failure = "no slice found for " + vKit::GetPathFileName(path);
    else if (m_FirstSlice.LoadFile(m_SourceDataset.GetEntryPath(0)) != vKit::CFileImageBuffer16::Ok)
    {
        failure = LoadFailureReason(m_FirstSlice, m_SourceDataset.GetEntryPath(0));
        m_strSourcePath.clear();
    }
    else if (m_FirstSlice.Info().ColorTable().GetCount() == 0)
        failure =
            vKit::GetPathFileName(m_SourceDataset.GetEntryPath(0)) + ": the slice has no colour palette";
    const bool opened = failure.empty();
    if (!opened) ResetDialog();
    ShowOpenFailure(failure);

    if (opened)
    {
        ProposeDestination();
        m_Conversion.GetSource()->SetDataset(&m_SourceDataset);
        m_Conversion.SetSourcePalette(m_FirstSlice.Info().AltColorTable());
        m_Conversion.SetSourceSliceSize(m_FirstSlice.GetWidth(), m_FirstSlice.GetHeight());
        m_FormatList.SelectByValue(Defaults().m_nDefaultExtension);
        m_bSourceLoaded = 1;
        m_Window.SetText(SourceName, m_SourceDataset.GetFirstSliceName());
        m_strDestPath = m_DestDataset.GetMask();
        m_DestDataset.SetOpened(true);
        m_Window.SetText(DestName, m_DestDataset.GetFirstSliceName());
        m_Conversion.GetDestination()->SetDataset(&m_DestDataset);
        m_Conversion.UpdateDestinationBits();

        vKit::CDataset* destination = m_Conversion.GetDestination()->GetDataset();
        destination->SetLastNumber(m_SourceDataset.GetLastNumber());
        destination->SetFirstNumber(m_SourceDataset.GetFirstNumber());
        m_nTopLayer = m_SourceDataset.GetLastNumber();
        m_nBottomLayer = m_SourceDataset.GetFirstNumber();
        m_nShift = 0;
    }

    m_Window.SetText(Start, "Start converting");
    m_Window.SetProgressPos(Progress, 0);
    UpdateControls();
    ShowCursor(vKit::ECursorShape::Arrow);
}

// The dialog shows no message box for a failed open: the reason stands where the source
// name would, as a one-line note with the whole text in its tool tip.
void CKavexDlg::ShowOpenFailure(const std::string& reason)
{
    m_strOpenFailure = reason;
    if (!reason.empty()) m_Window.SetText(SourceName, NotOpenedNote + reason);
    m_Window.SetToolTip(SourceName, reason);
}

void CKavexDlg::ProposeDestination()
{
    // Beside the source until the user has chosen a destination, then in the chosen folder. The
    // chosen path keeps that folder even after a reset has emptied m_strDestPath.
    vKit::CDataset proposal;
    if (m_strChosenDestPath.empty())
        proposal.SetFileName(m_strSourcePath);
    else
        proposal.SetFileName(
            vKit::JoinPath(vKit::GetPathFolder(m_strChosenDestPath), vKit::GetPathFileName(m_strSourcePath)));
    m_strDestPath = ConversionPolicy::ProposeDestination(
        proposal.GetFolder(), proposal.GetPrefix(), proposal.GetExtension(), Defaults().m_nDefaultExtension);
    m_DestDataset.SetFileName(m_strDestPath);
}

void CKavexDlg::BrowseSource()
{
    if (m_bConverting) return;
    // The busy cursor only while the program works, not while the user browses.
    ShowCursor(vKit::ECursorShape::Arrow);
    if (DatasetDialogs::LoadDialog(m_SourceDataset, vKit::GetPathFolder(m_strSourcePath), SourceFilter,
                                   "*.tif", -1, &m_Window))
    {
        m_strSourcePath = m_SourceDataset.GetMask();
        OpenSourceDataset(m_strSourcePath);
        UpdateControls();
    }
}

void CKavexDlg::OnFilesDropped()
{
    if (m_bConverting || m_DroppedFiles.GetCount() == 0) return;
    OpenSourceDataset(m_DroppedFiles.GetString(0));
    UpdateControls();
    m_Window.Repaint();
}

void CKavexDlg::BrowseDestination()
{
    // The job borrows the destination data set for the whole run.
    if (m_bConverting) return;
    ShowCursor(vKit::ECursorShape::Arrow);
    const int32_t format = FormatOfExtension(m_DestDataset.GetExtension());
    if (DatasetDialogs::SaveDialog(m_DestDataset, vKit::GetPathFolder(m_strDestPath), DestinationFilter,
                                   "*.tif", format != 0 ? format : -1, &m_Window))
    {
        ShowCursor(vKit::ECursorShape::Wait);
        ApplyDestination();
        UpdateControls();
        ShowCursor(vKit::ECursorShape::Arrow);
    }
}

void CKavexDlg::ApplyDestination()
{
    m_strDestPath = m_DestDataset.GetMask();
    m_DestDataset.SetOpened(true);
    m_Window.SetText(DestName, m_DestDataset.GetFirstSliceName());
    m_Conversion.GetDestination()->SetDataset(&m_DestDataset);
    m_Conversion.UpdateDestinationBits();
    m_strChosenDestPath = m_strDestPath;
    const int32_t format = FormatOfExtension(vKit::GetPathExtension(m_strDestPath));
    if (format != 0)
        m_FormatList.SelectByValue(format);
    else
        m_FormatList.SetSelectedIndex(-1);
}

void CKavexDlg::OnOptionListChanged(vKit::CComboBoxExt*)
{
    // A reset refills the lists while the destination is empty; applying that empty destination
    // would make the root folder the chosen one.
    if (!m_bSourceLoaded || !m_DestDataset.IsOpened()) return;
    if (const char* extension = ExtensionOfFormat(m_FormatList.GetSelectedValue()))
        m_DestDataset.SetExtension(extension);
    if (m_ResizeList.HasSelection()) m_Conversion.SetResizeFactor(m_ResizeList.GetSelectedValue());
    if (m_InterpolationList.HasSelection())
        m_Conversion.SetResizeQuality(m_InterpolationList.GetSelectedValue());
    ApplyDestination();
    UpdateControls();
}

CPreviewRequest CKavexDlg::MakePreviewRequest(int32_t slice)
{
    CPreviewRequest r;
    if (!m_bSourceLoaded || m_SourceDataset.GetCount() == 0) return r;
    r.sourceMask = m_SourceDataset.GetMask();
    r.destinationMask = m_DestDataset.GetMask();
    r.slice = slice;
    r.resizeFactor = m_Conversion.GetResizeFactor();
    r.resizeQuality = m_Conversion.GetResizeQuality();
    r.jpegQuality = m_nJpegQuality;
    r.shift = m_nShift;
    r.invertPalette = m_Conversion.GetInvertPalette();
    r.invertRawData = m_Conversion.GetInvertRawData();
    r.sourcePalette = m_Conversion.GetSourcePalette();
    return r;
}

void CKavexDlg::SaveAsDefault()
{
    SDefaults defaults = ReadDefaults(Defaults());
    defaults.keepFileTimes = m_Conversion.GetKeepFileTime();
    defaults.invertRaw = m_Conversion.GetInvertRawData();
    defaults.vgi = m_Conversion.GetGenerateVgi();
    defaults.invertPalette = m_Conversion.GetInvertPalette();
    defaults.jpegQuality = m_nJpegQuality;
    if (m_ResizeList.HasSelection()) defaults.resize = m_ResizeList.GetSelectedValue();
    if (m_InterpolationList.HasSelection()) defaults.interpolation = m_InterpolationList.GetSelectedValue();
    if (m_FormatList.HasSelection()) defaults.format = m_FormatList.GetSelectedValue();
    WriteDefaults(defaults, Defaults());
    m_UserConfig.SaveUserSettings();
    UpdateControls();
}
