#pragma once
// The preview's two painted controls: a grey image shown fitted to its place or at 1:1, and the
// 256-bin grey histogram of a slice.

#include "Base/image/ImageBuffer16.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

class CImageView : public QWidget
{
public:
    explicit CImageView(QWidget* parent = nullptr);
    void SetImage(const QImage& image);
    const QImage& Image() const { return m_image; }
    // Fitted: scaled to the control's size, keeping the aspect ratio; else one pixel a sample.
    void SetFit(bool fit);
    bool IsFit() const { return m_bFit; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateSize();
    QImage m_image;
    bool m_bFit = true;
};

class CHistogramView : public QWidget
{
public:
    explicit CHistogramView(QWidget* parent = nullptr);
    void SetBins(std::vector<uint64_t> bins);
    QSize sizeHint() const override { return {256, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<uint64_t> m_bins;
};

// The image as the preview paints it (8-bit grey, the palette's grey of each sample).
QImage PreviewImage(const vKit::CImageBuffer16& image);
