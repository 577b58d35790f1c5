#include "app/qt/PreviewWidgets.h"

#include "app/PreviewPicture.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

CImageView::CImageView(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CImageView::SetImage(const QImage& image)
{
    m_image = image;
    UpdateSize();
    update();
}

void CImageView::SetFit(bool fit)
{
    m_bFit = fit;
    UpdateSize();
    update();
}

void CImageView::UpdateSize()
{
    // At 1:1 the control is as large as the image, so that its scroll area scrolls.
    setMinimumSize(m_bFit || m_image.isNull() ? QSize(64, 64) : m_image.size());
    updateGeometry();
}

QSize CImageView::sizeHint() const
{
    return m_bFit || m_image.isNull() ? QSize(256, 256) : m_image.size();
}

void CImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (m_image.isNull()) return;
    if (!m_bFit)
    {
        painter.drawImage(QPoint(0, 0), m_image);
        return;
    }
    const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, size.width() < m_image.width());
    painter.drawImage(target, m_image);
}

CHistogramView::CHistogramView(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(60);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CHistogramView::SetBins(std::vector<uint64_t> bins)
{
    m_bins = std::move(bins);
    update();
}

void CHistogramView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_bins.empty()) return;
    // Logarithmic, so that a large background bin leaves the rest visible.
    double top = 0;
    for (uint64_t bin : m_bins)
        top = std::max(top, std::log1p(double(bin)));
    if (top <= 0) return;
    const double step = double(width() - 2) / double(m_bins.size());
    const int base = height() - 2;
    for (size_t i = 0; i < m_bins.size(); ++i)
    {
        const int h = int(std::lround(std::log1p(double(m_bins[i])) / top * (height() - 4)));
        const int x0 = 1 + int(i * step);
        const int x1 = std::max(x0 + 1, 1 + int((i + 1) * step));
        painter.fillRect(QRect(x0, base - h, x1 - x0, h), palette().color(QPalette::Text));
    }
}

QImage PreviewImage(const vKit::CImageBuffer16& image)
{
    const std::vector<uint8_t> grey = DisplayGrey(image);
    if (grey.empty()) return {};
    const int width = image.GetWidth();
    QImage picture(width, image.GetHeight(), QImage::Format_Grayscale8);
    for (int y = 0; y < picture.height(); ++y)
        std::copy_n(grey.data() + size_t(y) * size_t(width), size_t(width), picture.scanLine(y));
    return picture;
}
