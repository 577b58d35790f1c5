// The slice preview on the offscreen platform: for a data set that kavex-sample writes, the
// destination it shows is, sample for sample, the file a run with the same options writes; a
// newer request wins over an older one; and a picture of it for `make screenshot`.

#include "qt/WindowRig.h"

#include "app/ControlIds.h"
#include "app/KavexDlg.h"
#include "app/PreviewPicture.h"
#include "app/qt/PreviewWidgets.h"
#include "app/qt/PreviewWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QSlider>

#include <cstdlib>
#include <cstring>

using namespace KavexId;

namespace
{
class Preview : public CWindowRig
{
protected:
    // A kavex-sample data set of 8 slices; the path of its first slice.
    std::string SampleDataset(const char* size = "40x30")
    {
        const std::string folder = m_scratch.Folder("sample");
        const std::string command = std::string("'") + KAVEX_BIN_DIR + "/kavex-sample' --slices 8 --size " +
                                    size + " '" + folder + "' >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return NumberedName(folder, "scan", 0, "bmp");
    }
    void Pick(int32_t id, int index)
    {
        auto* list = Find<QComboBox>(id);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Waits until the preview shows the answer to its latest request.
    static bool Settled(CPreviewWindow& preview)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000)
        {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            if (preview.Shown() != nullptr && !preview.IsLoading()) return true;
        }
        return false;
    }
};
} // namespace

TEST_F(Preview, ShowsTheSamplesTheRunWrites)
{
    struct SCase
    {
        int format;        // index in the format list: bmp, tif, jpg
        int resize;        // No resizing, 1/2, 1/4, 1/8
        int interpolation; // Fast, 2D, 3D
        int32_t invert;    // the check box to click, 0 for none
        int slice;
    };
    const SCase cases[] = {
        {2, 1, 2, InvertRawData, 3}, // JPEG, 3D from the real group of slices
        {1, 2, 1, 0, 5},             // TIFF, 2D averaging by 4
        {0, 0, 0, InvertPalette, 6}, // BMP, palette reversal
    };
    CKavexWindow& window = Show(SampleDataset());
    window.Logic().OnMenuCommand(CmdPreview);
    CPreviewWindow* preview = window.Preview();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(Settled(*preview)); // the slider knows the slices from the first answer on
    preview->Post(window.Logic().MakePreviewRequest(1));
    const uint64_t latest = preview->Post(window.Logic().MakePreviewRequest(6));
    ASSERT_TRUE(Settled(*preview));
    EXPECT_EQ(preview->ShownSerial(), latest) << "a newer request wins";
    EXPECT_EQ(preview->Slider()->value(), 6);
    window.Logic().OnSliderChanged(70); // not the job's own default quality
    for (const SCase& c : cases)
    {
        Pick(FormatList, c.format);
        Pick(ResizeList, c.resize);
        Pick(InterpolationList, c.interpolation);
        if (c.invert != 0) Find<QCheckBox>(c.invert)->click();
        preview->Slider()->setValue(c.slice);
        ASSERT_TRUE(Settled(*preview));
        const CSlicePreview& shown = *preview->Shown();
        ASSERT_EQ(shown.reason, "") << c.format;
        EXPECT_EQ(shown.slice, c.slice);

        window.Logic().OnStartClicked();
        ASSERT_EQ(window.Logic().GetFailedCount(), 0);
        vKit::CFileImageBuffer16 written;
        ASSERT_EQ(written.LoadFile(shown.destinationPath), 0) << shown.destinationPath;
        ASSERT_EQ(written.GetWidth(), shown.destination.GetWidth());
        ASSERT_EQ(written.GetHeight(), shown.destination.GetHeight());
        EXPECT_EQ(
            std::memcmp(written.GetData(), shown.destination.GetData(), size_t(written.PixelCount()) * 2), 0)
            << shown.destinationPath;
        // What the user sees: the samples through the palette of each file.
        EXPECT_EQ(DisplayGrey(written), DisplayGrey(shown.destination));
        EXPECT_NE(DisplayGrey(shown.source), DisplayGrey(shown.destination))
            << "every case changes the picture";
        if (c.invert != 0) Find<QCheckBox>(c.invert)->click();
    }
}

// Also writes the picture for `make screenshot` when KAVEX_PREVIEW_SCREENSHOT names a file.
TEST_F(Preview, PictureOfThePreview)
{
    CKavexWindow& window = Show(SampleDataset("160x120"));
    Pick(FormatList, 2);
    window.Logic().OnMenuCommand(CmdPreview);
    CPreviewWindow& preview = *window.Preview();
    ASSERT_TRUE(Settled(preview));
    preview.Slider()->setValue(4);
    ASSERT_TRUE(Settled(preview));
    preview.ActualSizeButton()->click();
    EXPECT_EQ(preview.DestinationView()->minimumSize(), QSize(160, 120));
    preview.FitButton()->click();
    QApplication::processEvents();
    const QImage picture = preview.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_FALSE(preview.DestinationView()->Image().isNull());
    if (const char* target = std::getenv("KAVEX_PREVIEW_SCREENSHOT"))
    {
        EXPECT_TRUE(picture.save(QString::fromLocal8Bit(target)));
    }
}
