#include "app/qt/KavexWindow.h"

#include "Base/platform/Platform.h"
#include "app/ControlIds.h"
#include "app/CursorRes.h"
#include "app/FileDialogST.h"
#include "app/KavexApp.h"
#include "app/KavexDlg.h"
#include "app/qt/AboutDlg.h"
#include "app/qt/PreviewWindow.h"
#include "app/qt/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QUrl>

using namespace KavexId;

namespace
{
QPointer<QWidget> s_cursorWindow;
bool s_bOverrideCursor = false;

// The dialog's cursor: busy cursors apply to the whole program until the arrow comes back.
void ApplyCursor(vKit::ECursorShape shape)
{
    if (s_cursorWindow.isNull()) return;
    Qt::CursorShape qt = Qt::ArrowCursor;
    switch (shape)
    {
    case vKit::ECursorShape::Wait:
        qt = Qt::WaitCursor;
        break;
    case vKit::ECursorShape::Cross:
        qt = Qt::CrossCursor;
        break;
    case vKit::ECursorShape::Hand:
        qt = Qt::PointingHandCursor;
        break;
    case vKit::ECursorShape::Help:
        qt = Qt::WhatsThisCursor;
        break;
    case vKit::ECursorShape::No:
        qt = Qt::ForbiddenCursor;
        break;
    case vKit::ECursorShape::SizeAll:
        qt = Qt::SizeAllCursor;
        break;
    case vKit::ECursorShape::SizeNeSw:
        qt = Qt::SizeBDiagCursor;
        break;
    case vKit::ECursorShape::SizeNs:
        qt = Qt::SizeVerCursor;
        break;
    case vKit::ECursorShape::SizeNwSe:
        qt = Qt::SizeFDiagCursor;
        break;
    case vKit::ECursorShape::SizeWe:
        qt = Qt::SizeHorCursor;
        break;
    case vKit::ECursorShape::AppStarting:
        qt = Qt::BusyCursor;
        break;
    default:
        break;
    }
    if (qt == Qt::ArrowCursor)
    {
        if (s_bOverrideCursor) QApplication::restoreOverrideCursor();
        s_bOverrideCursor = false;
    }
    else if (s_bOverrideCursor)
        QApplication::changeOverrideCursor(QCursor(qt));
    else
    {
        QApplication::setOverrideCursor(QCursor(qt));
        s_bOverrideCursor = true;
    }
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

bool OpenWithDesktop(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
CKavexWindow::UrlOpener s_urlOpener = &OpenWithDesktop;
} // namespace

void CKavexWindow::SetUrlOpener(UrlOpener opener)
{
    s_urlOpener = opener != nullptr ? opener : &OpenWithDesktop;
}

CKavexWindow::CKavexWindow(QWidget* parent) : QDialog(parent)
{
    setAcceptDrops(true);
    BuildControls();
    s_cursorWindow = this;
    vKit::CCursorRes::SetApplier(&ApplyCursor);
    CFileDialogST::SetDefaultWindow(this);
    m_pLogic = std::make_unique<CKavexDlg>(*this);
    m_pLogic->SetChangeListener(
        [this]
        {
            if (m_pPreview != nullptr) m_pPreview->Refresh();
        });
    Control(SourceName)->installEventFilter(this);
    ConnectControls();
}

CKavexWindow::~CKavexWindow()
{
    // The preview asks the logic for its requests: it goes before the logic does.
    delete m_pPreview;
    m_pLogic->OnDestroy();
    m_pLogic.reset();
    if (CFileDialogST::GetDefaultWindow() == this) CFileDialogST::SetDefaultWindow(nullptr);
    ApplyCursor(vKit::ECursorShape::Arrow);
}

void CKavexWindow::ConnectControls()
{
    for (int32_t id : {SourceBrowse, DestBrowse, SaveDefault, Start})
    {
        connect(qobject_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this,
                [this, id] { m_pLogic->OnButtonClicked(id); });
    }
    for (int32_t id : {GenerateVgi, KeepFileDate, InvertPalette, InvertRawData})
    {
        connect(qobject_cast<QCheckBox*>(Control(id)), &QCheckBox::clicked, this,
                [this, id] { m_pLogic->OnButtonClicked(id); });
    }
    for (int32_t id : {FormatList, ResizeList, InterpolationList})
    {
        connect(qobject_cast<QComboBox*>(Control(id)), &QComboBox::activated, this,
                [this, id] { m_pLogic->OnListSelectionChanged(id); });
    }
    for (int32_t id : {TopSpin, BottomSpin, ShiftSpin, JpegSpin})
    {
        connect(qobject_cast<CSpinButton*>(Control(id)), &CSpinButton::PositionChanged, this,
                [this, id](int pos) { m_pLogic->OnSpinChanged(id, pos); });
    }
    connect(qobject_cast<QSlider*>(Control(JpegSlider)), &QSlider::valueChanged, this,
            [this](int pos) { m_pLogic->OnSliderChanged(pos); });
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
    {
        const int32_t command = it.key();
        connect(it.value(), &QAction::triggered, this, [this, command] { m_pLogic->OnMenuCommand(command); });
    }
}

// Window operations. Setting a value from the logic never signals back, as with the platform's
// controls, where only the user's actions send notifications.

void CKavexWindow::SetToolTip(int32_t id, const std::string& text)
{
    if (QWidget* w = Control(id)) w->setToolTip(Q(text));
}

void CKavexWindow::SetText(int32_t id, const std::string& text)
{
    QWidget* w = Control(id);
    if (auto* elided = dynamic_cast<CElidedLabel*>(w))
        elided->SetFullText(Q(text));
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(Q(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
    {
        const QSignalBlocker block(edit);
        edit->setText(Q(text));
    }
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(Q(text));
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(Q(text));
}

std::string CKavexWindow::GetText(int32_t id) const
{
    QWidget* w = Control(id);
    if (auto* elided = dynamic_cast<CElidedLabel*>(w)) return elided->FullText().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdString();
    return "";
}

void CKavexWindow::Enable(int32_t id, bool enable)
{
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

bool CKavexWindow::IsEnabled(int32_t id) const
{
    QWidget* w = Control(id);
    return w != nullptr && w->isEnabled();
}

void CKavexWindow::SetCheck(int32_t id, int32_t state)
{
    if (auto* box = qobject_cast<QCheckBox*>(Control(id)))
    {
        const QSignalBlocker block(box);
        box->setChecked(state != 0);
    }
}

int32_t CKavexWindow::GetCheck(int32_t id) const
{
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box != nullptr && box->isChecked() ? 1 : 0;
}

void CKavexWindow::ListReset(int32_t id)
{
    if (auto* list = qobject_cast<QComboBox*>(Control(id)))
    {
        const QSignalBlocker block(list);
        list->clear();
    }
}

void CKavexWindow::ListAdd(int32_t id, const std::string& text, int32_t value)
{
    if (auto* list = qobject_cast<QComboBox*>(Control(id)))
    {
        const QSignalBlocker block(list);
        list->addItem(Q(text), QVariant(value));
    }
}

void CKavexWindow::ListSelect(int32_t id, int32_t index)
{
    if (auto* list = qobject_cast<QComboBox*>(Control(id)))
    {
        const QSignalBlocker block(list);
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
}

bool CKavexWindow::ListSelectedValue(int32_t id, int32_t& value) const
{
    auto* list = qobject_cast<QComboBox*>(Control(id));
    if (list == nullptr || list->currentIndex() < 0) return false;
    value = list->currentData().toInt();
    return true;
}

void CKavexWindow::SetSpinRange(int32_t id, int32_t lower, int32_t upper)
{
    if (auto* spin = qobject_cast<CSpinButton*>(Control(id))) spin->SetRange(lower, upper);
}

void CKavexWindow::SetSpinPos(int32_t id, int32_t pos)
{
    if (auto* spin = qobject_cast<CSpinButton*>(Control(id))) spin->SetPos(pos);
}

int32_t CKavexWindow::GetSpinPos(int32_t id) const
{
    auto* spin = qobject_cast<CSpinButton*>(Control(id));
    return spin != nullptr ? spin->Pos() : 0;
}

void CKavexWindow::SetSliderRange(int32_t id, int32_t lower, int32_t upper)
{
    if (auto* slider = qobject_cast<QSlider*>(Control(id)))
    {
        const QSignalBlocker block(slider);
        slider->setRange(lower, upper);
    }
}

void CKavexWindow::SetSliderTicks(int32_t id, int32_t frequency)
{
    if (auto* slider = qobject_cast<QSlider*>(Control(id))) slider->setTickInterval(frequency);
}

void CKavexWindow::SetSliderPos(int32_t id, int32_t pos)
{
    if (auto* slider = qobject_cast<QSlider*>(Control(id)))
    {
        const QSignalBlocker block(slider);
        slider->setValue(pos);
    }
}

int32_t CKavexWindow::GetSliderPos(int32_t id) const
{
    auto* slider = qobject_cast<QSlider*>(Control(id));
    return slider != nullptr ? slider->value() : 0;
}

void CKavexWindow::SetProgressRange(int32_t id, int32_t lower, int32_t upper)
{
    if (auto* bar = dynamic_cast<CTextProgressWidget*>(Control(id))) bar->SetRange(lower, upper);
}

void CKavexWindow::SetProgressStep(int32_t id, int32_t step)
{
    if (auto* bar = dynamic_cast<CTextProgressWidget*>(Control(id))) bar->SetStep(step);
}

void CKavexWindow::SetProgressPos(int32_t id, int32_t pos)
{
    if (auto* bar = dynamic_cast<CTextProgressWidget*>(Control(id))) bar->SetPos(pos);
}

void CKavexWindow::SetProgressColor(int32_t id, uint32_t rgb)
{
    if (auto* bar = dynamic_cast<CTextProgressWidget*>(Control(id))) bar->SetBarColor(rgb);
}

void CKavexWindow::SetPicture(int32_t id, const vKit::CDib& dib)
{
    if (auto* bar = dynamic_cast<CPaletteBar*>(Control(id))) bar->SetPicture(dib);
}

void CKavexWindow::EnableMenuItem(int32_t command, bool enable)
{
    if (QAction* action = MenuAction(command)) action->setEnabled(enable);
}

void CKavexWindow::Repaint()
{
    update();
    for (QWidget* w : m_controls)
        w->update();
}

EMessageResult CKavexWindow::MessageBox(const std::string& text, const std::string& caption,
                                        EMessageStyle style)
{
    QMessageBox box(this);
    box.setWindowTitle(Q(caption));
    box.setText(Q(text));
    if (style == EMessageStyle::YesNoCancel)
    {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    else
    {
        box.setIcon(style == EMessageStyle::Warning ? QMessageBox::Warning : QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return EMessageResult::Yes;
    case QMessageBox::No:
        return EMessageResult::No;
    case QMessageBox::Ok:
        return EMessageResult::Ok;
    default:
        return EMessageResult::Cancel;
    }
}

void CKavexWindow::PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool CKavexWindow::FileDialog(const CFileDialogRequest& request, std::vector<std::string>& paths)
{
    QFileDialog dialog(this, Q(request.strTitle), Q(request.strInitialFolder));
    if (request.bFolder)
    {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    }
    else
    {
        QStringList filters;
        for (const std::string& f : CFileDialogST::ToNameFilters(request.strFilter))
            filters << Q(f);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(filters);
        if (request.nFilterIndex >= 1 && request.nFilterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(request.nFilterIndex - 1));
        // The suffix follows the filter the user sees selected, also when they pick another.
        const auto follow = [&dialog, &request, filters](const QString& selected)
        {
            // Hidden details: the dialog may name the filter without its pattern list.
            int index = int(filters.indexOf(selected)) + 1;
            for (int i = 0; index == 0 && i < filters.size(); ++i)
                if (filters.at(i).startsWith(selected + QStringLiteral(" ("))) index = i + 1;
            dialog.setDefaultSuffix(
                Q(CFileDialogST::SuffixForFilter(request.strFilter, index, request.strDefaultExtension)));
        };
        follow(dialog.selectedNameFilter());
        connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
        dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(
            !request.bOpen ? QFileDialog::AnyFile
                           : (request.bMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
        if (!request.bOpen && !request.bConfirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.strInitialName.empty()) dialog.selectFile(Q(request.strInitialName));
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    paths.clear();
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(file.toStdString());
    return !paths.empty();
}

void CKavexWindow::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CKavexWindow::ShowHelp(int32_t)
{
    const QString path = Q(KavexApp::HelpFilePath(vKit::PlatformProgramPath()));
    if (!QFileInfo(path).isFile())
    {
        QMessageBox::warning(
            this, QStringLiteral("Kavex"),
            QStringLiteral("The help file could not be found:\n%1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!s_urlOpener(QUrl::fromLocalFile(path)))
        QMessageBox::warning(this, QStringLiteral("Kavex"),
                             Q(KavexApp::HelpViewerMissing(path.toStdString())));
}

void CKavexWindow::ShowPreview()
{
    if (m_pPreview == nullptr)
        m_pPreview =
            new CPreviewWindow([this](int32_t slice) { return m_pLogic->MakePreviewRequest(slice); }, this);
    m_pPreview->show();
    m_pPreview->raise();
    m_pPreview->activateWindow();
}

void CKavexWindow::Close()
{
    close();
}

// Window events.

void CKavexWindow::showEvent(QShowEvent* event)
{
    if (!m_bInitialised)
    {
        m_bInitialised = true;
        m_pLogic->OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CKavexWindow::done(int result)
{
    if (!m_pLogic->OnCloseRequest()) return;
    QDialog::done(result);
}

int32_t CKavexWindow::FocusedControlId() const
{
    QWidget* focus = focusWidget();
    for (auto it = m_controls.constBegin(); it != m_controls.constEnd(); ++it)
    {
        if (it.value() == focus || (focus != nullptr && it.value()->isAncestorOf(focus))) return it.key();
    }
    return 0;
}

void CKavexWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key())
    {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_pLogic->OnEnterKey(FocusedControlId());
        return;
    case Qt::Key_F1:
        m_pLogic->OnHelpRequest(FocusedControlId());
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool CKavexWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == Control(SourceName))
    {
        m_pLogic->OnMenuCommand(CmdPreview);
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
    {
        for (int32_t id : {TopEdit, BottomEdit, ShiftEdit})
        {
            if (watched != Control(id)) continue;
            if (event->type() == QEvent::FocusIn)
                m_pLogic->OnEditFocus(id);
            else
                m_pLogic->OnEditKillFocus(id);
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace
{
std::vector<std::string> FormatsOf(const QMimeData* data)
{
    std::vector<std::string> formats;
    for (const QString& f : data->formats())
        formats.push_back(f.toStdString());
    return formats;
}

bool HasLocalFiles(const QMimeData* data)
{
    if (!data->hasUrls()) return false;
    for (const QUrl& url : data->urls())
    {
        if (url.isLocalFile()) return true;
    }
    return false;
}

// Accepts a drag as a copy when the drop target takes it, and says so to the caller.
bool AcceptDrag(CMyDropTarget& target, QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (target.DragEffect(HasLocalFiles(data), FormatsOf(data)) != CMyDropTarget::EffectCopy)
    {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
} // namespace

void CKavexWindow::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptDrag(m_pLogic->DropTarget(), event);
}

void CKavexWindow::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptDrag(m_pLogic->DropTarget(), event);
}

void CKavexWindow::dropEvent(QDropEvent* event)
{
    if (!AcceptDrag(m_pLogic->DropTarget(), event)) return;
    const QMimeData* data = event->mimeData();
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls())
    {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    m_pLogic->DropTarget().Drop(paths);
}
