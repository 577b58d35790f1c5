// The Qt dialog on the offscreen platform: opening a data set named on the command line, a click on
// "Start converting", the keys, drag and drop with the menu and the About box, the file dialogs,
// Help without a viewer and a picture of the dialog.

#include "qt/WindowRig.h"

#include "app/KavexApp.h"
#include "app/Version.h"
#include "app/qt/AboutDlg.h"
#include "app/qt/Widgets.h"

#include "Base/platform/Platform.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <functional>

using namespace KavexId;

namespace
{
// One application for the whole executable, on the offscreen platform.
struct CQtEnvironment : ::testing::Environment
{
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[8] = "test_qt";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CQtEnvironment);

using KavexWindow = CWindowRig;

// Runs inspect on the modal window that the action opens, then closes it.
template <typename Modal>
void WithModal(const std::function<void()>& action, const std::function<void(Modal&)>& inspect)
{
    bool seen = false;
    QTimer::singleShot(0,
                       [&]
                       {
                           auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
                           ASSERT_NE(modal, nullptr);
                           seen = true;
                           inspect(*modal);
                           modal->reject();
                       });
    action();
    EXPECT_TRUE(seen);
}
} // namespace

TEST_F(KavexWindow, OpensTheCommandLineSourceAndConvertsOnAClick)
{
    CKavexWindow& window = Show(Dataset(6, 3));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kavex v2.0"));
    EXPECT_EQ(window.GetText(SourceName), Slice("rec", 0));
    EXPECT_EQ(Find<QLabel>(LayersValue)->text(), QStringLiteral("6"));
    EXPECT_EQ(Find<QComboBox>(FormatList)->currentText(), QStringLiteral("bmp"));

    QPushButton* start = Find<QPushButton>(Start);
    ASSERT_TRUE(start && start->isEnabled());
    QTest::mouseClick(start, Qt::LeftButton);
    for (int32_t n = 0; n < 6; ++n)
        EXPECT_TRUE(CScratchFolder::Exists(Slice("rec_conv_", n))) << n;
    EXPECT_EQ(start->text(), QStringLiteral("Restart converting"));
    auto* bar = dynamic_cast<CTextProgressWidget*>(window.Control(Progress));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetBarColor(), CKavexDlg::ColorGreen);
    EXPECT_EQ(bar->DisplayText(), "100%");

    QComboBox* format = Find<QComboBox>(FormatList);
    format->setCurrentIndex(2);
    emit format->activated(2); // what a user's pick signals
    EXPECT_EQ(window.Logic().GetDestPath(), m_scratch.Path("scan") + "/rec_conv_????.jpg");
    EXPECT_TRUE(window.Control(JpegSlider)->isEnabled());
}

TEST_F(KavexWindow, EnterAppliesTheLayerEditOrPressesTheButtonAndEscapeCloses)
{
    CKavexWindow& window = Show(Dataset(10));
    QLineEdit* shift = Find<QLineEdit>(ShiftEdit);
    Focus(shift);
    shift->selectAll();
    QTest::keyClicks(shift, QStringLiteral("7"));
    QTest::keyClick(shift, Qt::Key_Return);
    EXPECT_EQ(window.Logic().GetShift(), 7);
    EXPECT_EQ(Find<QLineEdit>(TopEdit)->text(), QStringLiteral("16"));

    QPushButton* start = Find<QPushButton>(Start);
    Focus(start);
    QTest::keyClick(start, Qt::Key_Return);
    EXPECT_TRUE(CScratchFolder::Exists(Slice("rec_conv_", 16)));
    EXPECT_TRUE(window.isVisible());

    QTest::keyClick(shift, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(KavexWindow, DropsOfFilesOpenTheDataSetUnlessPrivateAndTheMenuFollowsTheSource)
{
    const std::string second = Dataset(2, 1);
    CKavexWindow& window = Show("");
    ASSERT_NE(window.MenuAction(CmdSetDestination), nullptr);
    EXPECT_FALSE(window.MenuAction(CmdSetDestination)->isEnabled());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(second))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());

    QMimeData own;
    own.setUrls(files.urls());
    own.setData(
        QStringLiteral("application/x-kavex;value=\"Dravolinte_3BCFE9D1_6D61_4cb6_9D0B_3BB3F643CA82\""),
        QByteArray("1"));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &own, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_EQ(window.GetText(SourceName), Slice("rec", 0));
    EXPECT_TRUE(window.MenuAction(CmdSetDestination)->isEnabled());

    CAboutDlg about(&window);
    EXPECT_EQ(about.VersionLabel()->text().toStdString(), ProgramVersionLine());
}

TEST_F(KavexWindow, TheSaveDialogSuffixFollowsTheFilterAndNoBusyCursorShows)
{
    CKavexWindow& window = Show(Dataset(3));
    WithModal<QFileDialog>([&] { window.Logic().BrowseDestination(); },
                           [](QFileDialog& dialog)
                           {
                               EXPECT_EQ(QApplication::overrideCursor(), nullptr);
                               EXPECT_TRUE(dialog.selectedNameFilter().startsWith("Bmp files"));
                               EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("bmp"));
                               auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                               ASSERT_NE(types, nullptr);
                               for (const auto& [index, suffix] :
                                    {std::pair{1, "tif"}, std::pair{2, "jpg"}, std::pair{3, "tif"}})
                               {
                                   types->setCurrentIndex(index);
                                   emit types->activated(index); // what a user's pick signals
                                   emit types->textActivated(types->currentText());
                                   EXPECT_EQ(dialog.defaultSuffix(), QString::fromLatin1(suffix));
                               }
                           });
    WithModal<QFileDialog>([&] { window.Logic().BrowseSource(); },
                           [](QFileDialog&) { EXPECT_EQ(QApplication::overrideCursor(), nullptr); });
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(KavexWindow, HelpSaysWhereThePageIsWhenNoViewerStarts)
{
    const std::string page = KavexApp::HelpFilePath(vKit::PlatformProgramPath());
    if (!QFileInfo(QString::fromStdString(page)).isFile()) GTEST_SKIP() << "no help page beside " << page;
    CKavexWindow& window = Show("");
    CKavexWindow::SetUrlOpener([](const QUrl&) { return false; });
    WithModal<QMessageBox>([&] { window.Logic().OnHelpRequest(0); }, [&](QMessageBox& box)
                           { EXPECT_EQ(box.text().toStdString(), KavexApp::HelpViewerMissing(page)); });
    CKavexWindow::SetUrlOpener(nullptr);
}

// Also writes the picture for `make screenshot` when KAVEX_SCREENSHOT names a file.
TEST_F(KavexWindow, PictureOfTheDialogShowsItsControls)
{
    CKavexWindow& window = Show(Dataset(12));
    QApplication::processEvents();
    const QImage picture = window.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.width() >= 600 && picture.height() >= 400)
        << picture.width() << "x" << picture.height();
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 50); // text, frames and both palette bars, not a blank window
    if (const char* target = std::getenv("KAVEX_SCREENSHOT"))
    {
        EXPECT_TRUE(picture.save(QString::fromLocal8Bit(target)));
    }
}
