#pragma once
// The main dialog's window: every control of the dialog template built with Qt Widgets, the
// window operations the dialog logic uses, the menu, the keys, and drag and drop of files.

#include "app/WindowOps.h"

#include <QDialog>
#include <QMap>

#include <memory>

class CKavexDlg;
class QMenuBar;
class QAction;
class QGroupBox;
class QGridLayout;
class QHBoxLayout;
class QUrl;
class CPreviewWindow;

class CKavexWindow : public QDialog, public CWindowOps
{
    Q_OBJECT
public:
    explicit CKavexWindow(QWidget* parent = nullptr);
    ~CKavexWindow() override;

    CKavexDlg& Logic() { return *m_pLogic; }
    // The preview window once it was asked for, else null.
    CPreviewWindow* Preview() const { return m_pPreview; }
    // What opens the help page in a viewer (the desktop's, unless a test puts another).
    using UrlOpener = bool (*)(const QUrl& url);
    static void SetUrlOpener(UrlOpener opener);
    // The control with that identifier, or null.
    QWidget* Control(int32_t id) const { return m_controls.value(id, nullptr); }
    QAction* MenuAction(int32_t command) const { return m_actions.value(command, nullptr); }

    // CWindowOps
    void SetText(int32_t id, const std::string& text) override;
    void SetToolTip(int32_t id, const std::string& text) override;
    std::string GetText(int32_t id) const override;
    void Enable(int32_t id, bool enable) override;
    bool IsEnabled(int32_t id) const override;
    void SetCheck(int32_t id, int32_t state) override;
    int32_t GetCheck(int32_t id) const override;
    void ListReset(int32_t id) override;
    void ListAdd(int32_t id, const std::string& text, int32_t value) override;
    void ListSelect(int32_t id, int32_t index) override;
    bool ListSelectedValue(int32_t id, int32_t& value) const override;
    void SetSpinRange(int32_t id, int32_t lower, int32_t upper) override;
    void SetSpinPos(int32_t id, int32_t pos) override;
    int32_t GetSpinPos(int32_t id) const override;
    void SetSliderRange(int32_t id, int32_t lower, int32_t upper) override;
    void SetSliderTicks(int32_t id, int32_t frequency) override;
    void SetSliderPos(int32_t id, int32_t pos) override;
    int32_t GetSliderPos(int32_t id) const override;
    void SetProgressRange(int32_t id, int32_t lower, int32_t upper) override;
    void SetProgressStep(int32_t id, int32_t step) override;
    void SetProgressPos(int32_t id, int32_t pos) override;
    void SetProgressColor(int32_t id, uint32_t rgb) override;
    void SetPicture(int32_t id, const vKit::CDib& dib) override;
    void EnableMenuItem(int32_t command, bool enable) override;
    void Repaint() override;
    EMessageResult MessageBox(const std::string& text, const std::string& caption,
                              EMessageStyle style) override;
    void PumpMessages() override;
    bool FileDialog(const CFileDialogRequest& request, std::vector<std::string>& paths) override;
    void ShowAbout() override;
    void ShowHelp(int32_t callerId) override;
    void ShowPreview() override;
    void Close() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void done(int result) override;

private:
    // Building the controls (KavexLayout.cpp).
    void BuildControls();
    QMenuBar* BuildMenu();
    // The browse button and name label that open a data set's group.
    QHBoxLayout* BuildDataSetRow(QGroupBox* group, int32_t browseId, int32_t nameId);
    QGroupBox* BuildSourceGroup();
    QGroupBox* BuildDestinationGroup();
    QGroupBox* BuildConversionGroup();
    QGroupBox* BuildPaletteGroup();
    QGroupBox* BuildPaletteBox(int32_t groupId, const char* title, const int32_t ids[6]);
    QGroupBox* BuildShiftGroup();
    QGroupBox* BuildOptionsGroup();
    QGroupBox* BuildJpegGroup();
    QWidget* BuildRunRow();
    template <typename T> T* Add(int32_t id, T* widget);
    QGroupBox* Group(int32_t id, const char* title);
    void ConnectControls();
    int32_t FocusedControlId() const;

    QMap<int32_t, QWidget*> m_controls;
    QMap<int32_t, QAction*> m_actions;
    std::unique_ptr<CKavexDlg> m_pLogic;
    bool m_bInitialised = false;
    CPreviewWindow* m_pPreview = nullptr; // a child window, deleted with the dialog
};
