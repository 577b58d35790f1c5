#pragma once
// The slice preview: a window beside the dialog that shows a source slice and the destination
// slice as the dialog's current options would write it, side by side, with a slider over the
// source slices, fit or 1:1 zoom and the slice's grey histogram. It follows every change of the
// dialog; the images are made on a worker thread and the newest request wins.

#include "app/PreviewWorker.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class CImageView;
class CHistogramView;
class QLabel;
class QRadioButton;
class QSlider;

class CPreviewWindow : public QWidget
{
public:
    using RequestMaker = std::function<CPreviewRequest(int32_t slice)>;
    explicit CPreviewWindow(RequestMaker makeRequest, QWidget* parent = nullptr);
    ~CPreviewWindow() override;

    // The dialog changed: a new preview when it differs from the one asked for last.
    void Refresh();

    // For the tests.
    const CSlicePreview* Shown() const { return m_shown.get(); }
    uint64_t ShownSerial() const { return m_nShownSerial; }
    bool IsLoading() const { return m_nShownSerial != m_worker.LatestSerial(); }
    uint64_t Post(const CPreviewRequest& request);
    QSlider* Slider() const { return m_pSlider; }
    QRadioButton* FitButton() const { return m_pFit; }
    QRadioButton* ActualSizeButton() const { return m_pActual; }
    CImageView* DestinationView() const { return m_pDestination; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Show(uint64_t serial, const CPreviewWorker::Result& result);
    void SetZoom(bool fit);
    QWidget* Pane(const char* caption, CImageView* view);

    RequestMaker m_makeRequest;
    std::optional<CPreviewRequest> m_lastRequest;
    CPreviewWorker::Result m_shown;
    uint64_t m_nShownSerial = 0;
    QLabel* m_pInfo = nullptr;
    QLabel* m_pStatus = nullptr;
    QSlider* m_pSlider = nullptr;
    QRadioButton* m_pFit = nullptr;
    QRadioButton* m_pActual = nullptr;
    CImageView* m_pSource = nullptr;
    CImageView* m_pDestination = nullptr;
    CHistogramView* m_pHistogram = nullptr;
    // Last, so that its thread ends before the controls it reports to go.
    CPreviewWorker m_worker;
};
