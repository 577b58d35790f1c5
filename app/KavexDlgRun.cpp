// The main dialog's logic: running a conversion, its progress, and the event subscriptions.

#include "app/ControlIds.h"
#include "app/KavexDlg.h"

#include <string_view>

using namespace KavexId;

namespace
{
constexpr size_t kListedFailures = 10;

std::string FormatQuestion(const std::string& name)
{
    const std::string_view question = CKavexDlg::OverwriteQuestion;
    const size_t at = question.find("%s");
    std::string text(question.substr(0, at));
    text += name;
    text += question.substr(at + 2);
    return text;
}
} // namespace

void CKavexDlg::OnStartClicked()
{
    if (m_bConverting)
    {
        // A second click during the run, through the message pump: ask the job to stop.
        m_Conversion.GetProgress().SetCancelRequested(true);
        return;
    }
    m_bConverting = 1;
    m_DropTarget.SetAccepting(false);
    UpdateControls();

    bool proceed = true;
    bool overwrite = false;
    const std::string firstSlice = m_DestDataset.GetFirstSliceName();
    if (vKit::CDataset::MaskExists(firstSlice))
    {
        switch (m_Window.MessageBox(FormatQuestion(firstSlice), "Kavex", EMessageStyle::YesNoCancel))
        {
        case EMessageResult::Yes:
            overwrite = true;
            break;
        case EMessageResult::No:
            overwrite = false;
            break;
        default:
            proceed = false;
            break;
        }
    }
    if (proceed) RunConversion(overwrite);

    ShowCursor(vKit::ECursorShape::Arrow);
    m_bConverting = 0;
    m_DropTarget.SetAccepting(true);
    UpdateControls();
    if (proceed) ReportFailedFiles();
    if (m_bCloseAfterRun) m_Window.Close();
}

void CKavexDlg::RunConversion(bool overwrite)
{
    ShowCursor(vKit::ECursorShape::AppStarting);
    m_Window.SetText(Start, "Cancel converting");
    m_Conversion.GetSource()->SetDataset(&m_SourceDataset);
    m_Conversion.GetDestination()->SetDataset(&m_DestDataset);
    m_Conversion.UpdateDestinationBits();
    if (m_ResizeList.HasSelection()) m_Conversion.SetResizeFactor(m_ResizeList.GetSelectedValue());
    if (m_InterpolationList.HasSelection())
        m_Conversion.SetResizeQuality(m_InterpolationList.GetSelectedValue());
    m_Conversion.SetJpgCompression(m_nJpegQuality);
    m_Conversion.SetShift(m_nShift);
    m_Conversion.SetOverwrite(overwrite);
    m_Conversion.Convert();
    m_Window.SetText(Start, "Restart converting");
}

// A run that could not read or write some files is not shown as a plain success; one that
// another run kept off its destination says so.
void CKavexDlg::ReportFailedFiles()
{
    const std::vector<CFailedFile>& failed = m_Conversion.GetFailedFiles();
    m_nFailedFiles = static_cast<int32_t>(failed.size());
    if (m_Conversion.IsRefused())
        m_Window.MessageBox(m_Conversion.GetMessage(), "Kavex", EMessageStyle::Warning);
    if (failed.empty()) return;
    m_Window.SetProgressColor(Progress, ColorDarkRed);
    std::string text = std::to_string(failed.size()) + (failed.size() == 1 ? " file" : " files") +
                       " could not be converted:\n";
    for (size_t i = 0; i < failed.size() && i < kListedFailures; ++i)
        text += "\n" + failed[i].action + ": " + failed[i].path + ": " + failed[i].reason;
    if (failed.size() > kListedFailures) text += "\n...";
    m_Window.MessageBox(text, "Kavex", EMessageStyle::Warning);
}

void CKavexDlg::OnConversionProgress(vKit::CProgressInfo info)
{
    m_Window.SetProgressRange(Progress, info.GetMinimum(), info.GetMaximum());
    m_Window.SetProgressStep(Progress, 1);
    m_Window.SetProgressPos(Progress, info.GetPosition());
    if (info.IsStarted())
    {
        if (info.IsFinished())
            m_Window.SetProgressColor(Progress, ColorGreen);
        else if (info.IsCancelled())
            m_Window.SetProgressColor(Progress, ColorDarkRed);
        else
            m_Window.SetProgressColor(Progress, ColorNavy);
    }
    // Lets a click on "Cancel converting" reach the dialog while the job runs.
    m_Window.PumpMessages();
}

void CKavexDlg::HookEvents()
{
    if (m_bHooked) return;
    m_bHooked = 1;
    m_DropTarget.OnUpdateParent.Subscribe(this, &CKavexDlg::OnFilesDropped);
    m_DropTarget.SetNotifying(true);
    m_Conversion.GetProgress().OnProgress.Subscribe(this, &CKavexDlg::OnConversionProgress);
    m_FormatList.OnChanged.Subscribe(this, &CKavexDlg::OnOptionListChanged);
    m_ResizeList.OnChanged.Subscribe(this, &CKavexDlg::OnOptionListChanged);
    m_InterpolationList.OnChanged.Subscribe(this, &CKavexDlg::OnOptionListChanged);
}

void CKavexDlg::UnhookEvents()
{
    if (!m_bHooked) return;
    m_bHooked = 0;
    m_DropTarget.SetNotifying(false);
    m_InterpolationList.OnChanged.Unsubscribe(this, &CKavexDlg::OnOptionListChanged);
    m_ResizeList.OnChanged.Unsubscribe(this, &CKavexDlg::OnOptionListChanged);
    m_FormatList.OnChanged.Unsubscribe(this, &CKavexDlg::OnOptionListChanged);
    m_Conversion.GetProgress().OnProgress.Unsubscribe(this, &CKavexDlg::OnConversionProgress);
    m_DropTarget.OnUpdateParent.Unsubscribe(this, &CKavexDlg::OnFilesDropped);
}
