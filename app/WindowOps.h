#pragma once
// The window operations the main dialog's logic needs, each on one control addressed by its
// identifier (app/ControlIds.h). The Qt dialog implements them; the tests use a fake window.

#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{
class CDib;
}

// Colours are 0x00BBGGRR, as the platform's colour references.
inline constexpr uint32_t MakeRgb(uint32_t r, uint32_t g, uint32_t b)
{
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
inline constexpr uint32_t RgbRed(uint32_t c)
{
    return c & 0xFF;
}
inline constexpr uint32_t RgbGreen(uint32_t c)
{
    return (c >> 8) & 0xFF;
}
inline constexpr uint32_t RgbBlue(uint32_t c)
{
    return (c >> 16) & 0xFF;
}

// Answers and styles of the modal message box.
enum class EMessageResult : int32_t
{
    Ok = 1,
    Cancel = 2,
    Yes = 6,
    No = 7
};

enum class EMessageStyle : int32_t
{
    Information, // one OK button
    Warning,     // one OK button, warning icon
    YesNoCancel  // question with Yes, No and Cancel
};

// What an open or save dialog is shown with. The filter is the "text|pattern|...|" form.
struct CFileDialogRequest
{
    bool bOpen = true;
    bool bFolder = false;   // choose a folder instead of a file
    bool bMultiple = false; // open dialog: several files may be picked
    std::string strTitle;
    std::string strInitialFolder;
    std::string strInitialName;
    std::string strFilter;
    std::string strDefaultExtension;
    int32_t nFilterIndex = -1; // 1-based; below 1 lets the dialog choose
    bool bConfirmOverwrite = false;
};

class CWindowOps
{
public:
    virtual ~CWindowOps() = default;

    virtual void SetText(int32_t id, const std::string& text) = 0;
    // The text shown when the pointer rests on the control; "" for none.
    virtual void SetToolTip(int32_t id, const std::string& text) = 0;
    virtual std::string GetText(int32_t id) const = 0;
    virtual void Enable(int32_t id, bool enable) = 0;
    virtual bool IsEnabled(int32_t id) const = 0;
    virtual void SetCheck(int32_t id, int32_t state) = 0;
    virtual int32_t GetCheck(int32_t id) const = 0;

    // Drop-down lists: every item carries a value.
    virtual void ListReset(int32_t id) = 0;
    virtual void ListAdd(int32_t id, const std::string& text, int32_t value) = 0;
    virtual void ListSelect(int32_t id, int32_t index) = 0;               // -1 clears the selection
    virtual bool ListSelectedValue(int32_t id, int32_t& value) const = 0; // false without selection

    virtual void SetSpinRange(int32_t id, int32_t lower, int32_t upper) = 0;
    virtual void SetSpinPos(int32_t id, int32_t pos) = 0;
    virtual int32_t GetSpinPos(int32_t id) const = 0;

    virtual void SetSliderRange(int32_t id, int32_t lower, int32_t upper) = 0;
    virtual void SetSliderTicks(int32_t id, int32_t frequency) = 0;
    virtual void SetSliderPos(int32_t id, int32_t pos) = 0;
    virtual int32_t GetSliderPos(int32_t id) const = 0;

    virtual void SetProgressRange(int32_t id, int32_t lower, int32_t upper) = 0;
    virtual void SetProgressStep(int32_t id, int32_t step) = 0;
    virtual void SetProgressPos(int32_t id, int32_t pos) = 0;
    virtual void SetProgressColor(int32_t id, uint32_t rgb) = 0;

    // The picture a palette bar control shows; the control keeps a copy and paints it stretched.
    virtual void SetPicture(int32_t id, const vKit::CDib& dib) = 0;
    virtual void EnableMenuItem(int32_t command, bool enable) = 0;
    virtual void Repaint() = 0;

    virtual EMessageResult MessageBox(const std::string& text, const std::string& caption,
                                      EMessageStyle style) = 0;
    // Handles every pending window message, so that a click reaches the dialog during a run.
    virtual void PumpMessages() = 0;
    // Shows an open, save or folder dialog; true and the chosen paths when the user confirms.
    virtual bool FileDialog(const CFileDialogRequest& request, std::vector<std::string>& paths) = 0;
    virtual void ShowAbout() = 0;
    virtual void ShowHelp(int32_t callerId) = 0;
    // Shows the slice preview (a window of its own beside the dialog).
    virtual void ShowPreview() = 0;
    virtual void Close() = 0;
};
