#include "app/qt/PreviewWindow.h"

#include "Base/core/Strings.h"
#include "app/PreviewPicture.h"
#include "app/qt/PreviewWidgets.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace
{
QString FileName(const std::string& path)
{
    return QString::fromStdString(vKit::GetPathFileName(path));
}
} // namespace

CPreviewWindow::CPreviewWindow(RequestMaker makeRequest, QWidget* parent)
    : QWidget(parent, Qt::Window), m_makeRequest(std::move(makeRequest)),
      m_worker(
          [this](uint64_t serial, CPreviewWorker::Result result)
          {
              // Back on the window's thread; dropped by Qt when the window is gone.
              QMetaObject::invokeMethod(
                  this, [this, serial, result] { Show(serial, result); }, Qt::QueuedConnection);
          })
{
    setWindowTitle(QStringLiteral("Preview"));
    m_pInfo = new QLabel(this);
    m_pInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pStatus = new QLabel(this);
    m_pSource = new CImageView;
    m_pDestination = new CImageView;
    m_pHistogram = new CHistogramView(this);
    m_pSlider = new QSlider(Qt::Horizontal, this);
    m_pSlider->setRange(0, 0);
    m_pSlider->setToolTip(QStringLiteral("Source slice"));
    m_pFit = new QRadioButton(QStringLiteral("&Fit to window"), this);
    m_pActual = new QRadioButton(QStringLiteral("&1:1"), this);
    auto* zoom = new QButtonGroup(this);
    zoom->addButton(m_pFit);
    zoom->addButton(m_pActual);
    m_pFit->setChecked(true);

    auto* images = new QHBoxLayout;
    images->addWidget(Pane("Source", m_pSource), 1);
    images->addWidget(Pane("Destination", m_pDestination), 1);
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Slice:"), this));
    controls->addWidget(m_pSlider, 1);
    controls->addWidget(m_pFit);
    controls->addWidget(m_pActual);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_pInfo);
    column->addLayout(images, 1);
    column->addLayout(controls);
    column->addWidget(new QLabel(QStringLiteral("Grey histogram of the source slice (logarithmic):"), this));
    column->addWidget(m_pHistogram);
    column->addWidget(m_pStatus);
    resize(760, 560);

    connect(m_pSlider, &QSlider::valueChanged, this, [this] { Refresh(); });
    connect(m_pFit, &QRadioButton::toggled, this, [this](bool on) { SetZoom(on); });
}

CPreviewWindow::~CPreviewWindow() = default;

QWidget* CPreviewWindow::Pane(const char* caption, CImageView* view)
{
    auto* pane = new QWidget(this);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QString::fromUtf8(caption), pane));
    auto* scroll = new QScrollArea(pane);
    scroll->setWidgetResizable(true);
    scroll->setWidget(view);
    scroll->setAlignment(Qt::AlignCenter);
    column->addWidget(scroll, 1);
    return pane;
}

void CPreviewWindow::SetZoom(bool fit)
{
    m_pSource->SetFit(fit);
    m_pDestination->SetFit(fit);
}

void CPreviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
}

uint64_t CPreviewWindow::Post(const CPreviewRequest& request)
{
    m_lastRequest = request;
    m_pStatus->setText(QStringLiteral("Making the preview..."));
    return m_worker.Post(request);
}

void CPreviewWindow::Refresh()
{
    if (!isVisible()) return;
    const CPreviewRequest request = m_makeRequest(m_pSlider->value());
    if (request.sourceMask.empty())
    {
        m_lastRequest.reset();
        m_pInfo->setText(QStringLiteral("No source data set is open."));
        return;
    }
    if (m_lastRequest && *m_lastRequest == request) return;
    Post(request);
}

void CPreviewWindow::Show(uint64_t serial, const CPreviewWorker::Result& result)
{
    if (serial != m_worker.LatestSerial()) return; // a newer request is on its way
    m_shown = result;
    m_nShownSerial = serial;
    const CSlicePreview& p = *result;
    {
        const QSignalBlocker block(m_pSlider);
        m_pSlider->setRange(0, std::max(0, p.sliceCount - 1));
        if (p.slice >= 0) m_pSlider->setValue(p.slice);
    }
    m_pInfo->setText(p.slice < 0 ? QString()
                                 : QStringLiteral("Slice %1 (%2 of %3): %4  \u2192  %5")
                                       .arg(p.sliceNumber)
                                       .arg(p.slice + 1)
                                       .arg(p.sliceCount)
                                       .arg(FileName(p.sourcePath), FileName(p.destinationPath)));
    m_pSource->SetImage(PreviewImage(p.source));
    m_pDestination->SetImage(PreviewImage(p.destination));
    m_pHistogram->SetBins(DisplayHistogram(p.source));
    m_pStatus->setText(QString::fromStdString(p.reason));
}
