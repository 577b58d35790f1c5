#pragma once
// CKavexDlg: the main dialog's logic. It owns the conversion job and both data sets, keeps the
// options that the job does not hold, proposes the destination, enables what makes sense for the
// current options, asks before it overwrites and shows the progress of a run. It sees the window
// only through CWindowOps, so it runs without a window toolkit.

#include "Base/core/Progress.h"
#include "Base/dataset/Dataset.h"
#include "Base/files/Files.h"
#include "Base/formats/FileImageBuffer16.h"
#include "app/ComboBoxExt.h"
#include "app/CursorRes.h"
#include "app/Dib.h"
#include "app/DropTarget.h"
#include "app/UserSettings.h"
#include "app/WindowOps.h"
#include "engine/DatasetConversion.h"
#include "engine/SlicePreview.h"

#include <cstdint>
#include <functional>
#include <string>

class CKavexDlg
{
public:
    static constexpr const char* Caption = "Kavex v2.0";
    static constexpr const char* OverwriteQuestion =
        "The destination data set already exist:\r\n%s\n\rOverwrite?";
    static constexpr const char* SourceFilter =
        "Supported files (*.bmp,*.tif,*.jpg)|*.bmp;*.tif;*.tiff;*.jpg;*.jpeg|Bmp files (*.bmp)|*.bmp|"
        "Tiff files (*.tif)|*.tif;*.tiff|Jpg files (*.jpg)|*.jpg;*.jpeg|All Files (*.*)|*.*|";
    static constexpr const char* DestinationFilter =
        "Bmp files (*.bmp)|*.bmp|Tiff files (*.tif)|*.tif|Jpg files (*.jpg)|*.jpg|All Files (*.*)|*.*|";
    // Where the source name stands after an open that failed, before the reason.
    static constexpr const char* NotOpenedNote = "Not opened: ";
    static constexpr uint32_t ColorNavy = MakeRgb(0, 0, 128);
    static constexpr uint32_t ColorGreen = MakeRgb(0, 128, 0);
    static constexpr uint32_t ColorDarkRed = MakeRgb(128, 0, 0);

    explicit CKavexDlg(CWindowOps& window);
    CKavexDlg(const CKavexDlg&) = delete;
    CKavexDlg& operator=(const CKavexDlg&) = delete;
    virtual ~CKavexDlg();

    // Start-up: the path given on the command line, opened as the source by OnInitDialog.
    void SetSourcePath(const std::string& path) { m_strSourcePath = path; }

    // Window events.
    void OnInitDialog();
    void OnDestroy();
    void OnButtonClicked(int32_t id);
    void OnMenuCommand(int32_t command);
    void OnListSelectionChanged(int32_t id);
    void OnSpinChanged(int32_t id, int32_t pos);
    void OnSliderChanged(int32_t pos);
    void OnEditFocus(int32_t id);
    void OnEditKillFocus(int32_t id);
    void OnOK(); // Enter: applies the focused layer edit, stays open
    // Enter with the focus on that control: a focused push button is pressed, as on the
    // platform; anywhere else it is OnOK.
    void OnEnterKey(int32_t focusedId);
    // Escape, the close box or "Exit": true when the window may close now. During a run the run
    // is cancelled first and the window closes when it has ended (see CloseRequested).
    bool OnCloseRequest();
    bool CloseRequested() const { return m_bCloseAfterRun != 0; }
    void OnHelpRequest(int32_t callerId);

    // The algorithms, public so that the window layer and the tests can drive them.
    void ResetDialog();
    void OpenSourceDataset(const std::string& path);
    void ProposeDestination();
    void BrowseSource();
    void BrowseDestination();
    void ApplyDestination();
    void OnOptionListChanged(vKit::CComboBoxExt* list);
    void OnFilesDropped();
    void SetTopLayer(int32_t top);
    void SetBottomLayer(int32_t bottom);
    void SetShift(int32_t shift);
    int32_t LimitShift(int32_t newTop, int32_t newBottom) const;
    void UpdateControls();
    void SaveAsDefault();
    void OnStartClicked();
    void OnConversionProgress(vKit::CProgressInfo info);
    void HookEvents();
    void UnhookEvents();

    // State, for the window layer and the tests.
    CMyDropTarget& DropTarget() { return m_DropTarget; }
    bool IsSourceLoaded() const { return m_bSourceLoaded != 0; }
    bool IsConverting() const { return m_bConverting != 0; }
    int32_t GetTopLayer() const { return m_nTopLayer; }
    int32_t GetBottomLayer() const { return m_nBottomLayer; }
    int32_t GetShift() const { return m_nShift; }
    int32_t GetJpegQuality() const { return m_nJpegQuality; }
    const std::string& GetSourcePath() const { return m_strSourcePath; }
    // Why the last open failed; "" after one that succeeded.
    const std::string& GetOpenFailure() const { return m_strOpenFailure; }
    // Called after every change of the source or of an option (the preview follows them).
    void SetChangeListener(std::function<void()> listener) { m_onChange = std::move(listener); }
    // The options a preview of that slice is made with, as a run would use them now.
    CPreviewRequest MakePreviewRequest(int32_t slice);
    const std::string& GetDestPath() const { return m_strDestPath; }
    int32_t GetFailedCount() const { return m_nFailedFiles; }
    CDatasetConversion& Conversion() { return m_Conversion; }

private:
    void EnableControls(const int32_t* ids, size_t count, bool enable);
    void UpdateEnabling();
    void UpdateCheckBoxes();
    void UpdateNumbers();
    void UpdatePaletteLabels();
    void UpdatePaletteBars();
    void SetTextIfChanged(int32_t id, const std::string& text);
    void SetSpinIfChanged(int32_t id, int32_t pos);
    void StoreLayers(int32_t shift);
    // The shift that brings the range nearest to top .. bottom, stored; ignored while storing.
    void MoveLayers(int64_t top, int64_t bottom);
    void ApplyLayerEdit(int32_t id);
    // Flips the job flag behind a check box; other ids are ignored.
    void ToggleJobFlag(int32_t id);
    void FillLists();
    void RunConversion(bool overwrite);
    void ReportFailedFiles();
    void ShowCursor(vKit::ECursorShape shape);
    CUserInfo& Defaults();
    void ShowOpenFailure(const std::string& reason);
    bool DestinationIsJpeg() const;

    CWindowOps& m_Window;
    vKit::CFiles m_DroppedFiles;
    vKit::CCursorRes m_Cursor;
    CMyDropTarget m_DropTarget;
    vKit::CDib m_SourcePaletteDib;
    vKit::CDib m_DestPaletteDib;
    CUserConfig m_UserConfig;
    CGlobalConfig m_GlobalConfig;
    vKit::CDataset m_SourceDataset;
    vKit::CDataset m_DestDataset;
    int32_t m_bSourceLoaded = 0;
    std::string m_strDestPath;
    int32_t m_nJpegQuality = 0;
    int32_t m_nTopLayer = 0;
    int32_t m_nBottomLayer = 0;
    int32_t m_nShift = 0;
    int32_t m_nFocusedLayerEdit = 0; // identifier of the focused layer edit, 0 for none
    CDatasetConversion m_Conversion;
    int32_t m_bConverting = 0;
    vKit::CFileImageBuffer16 m_FirstSlice;
    int32_t m_bInLayerUpdate = 0;
    std::string m_strSourcePath;
    std::string m_strChosenDestPath;
    vKit::CComboBoxExt m_FormatList;
    vKit::CComboBoxExt m_ResizeList;
    vKit::CComboBoxExt m_InterpolationList;
    int32_t m_bHooked = 0;
    int32_t m_bCloseAfterRun = 0;
    int32_t m_nFailedFiles = 0; // files the last run could not read or write
    std::string m_strOpenFailure;
    std::function<void()> m_onChange;
};
