// What a new user meets in the Qt dialog: the save dialog's suffix follows its filter, the busy
// cursor is not shown over a file dialog, Help says so when no viewer starts, and Enter presses
// a focused push button.

#include "qt/WindowRig.h"

#include "app/ControlIds.h"
#include "app/KavexApp.h"
#include "app/KavexDlg.h"

#include "Base/platform/Platform.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace KavexId;

namespace
{
using NewUser = CWindowRig;

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

TEST_F(NewUser, TheSaveDialogSuffixFollowsTheFilterAndNoBusyCursorShows)
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

TEST_F(NewUser, HelpSaysWhereThePageIsWhenNoViewerStarts)
{
    const std::string page = KavexApp::HelpFilePath(vKit::PlatformProgramPath());
    if (!QFileInfo(QString::fromStdString(page)).isFile()) GTEST_SKIP() << "no help page beside " << page;
    CKavexWindow& window = Show("");
    CKavexWindow::SetUrlOpener([](const QUrl&) { return false; });
    WithModal<QMessageBox>([&] { window.Logic().OnHelpRequest(0); }, [&](QMessageBox& box)
                           { EXPECT_EQ(box.text().toStdString(), KavexApp::HelpViewerMissing(page)); });
    CKavexWindow::SetUrlOpener(nullptr);
}

TEST_F(NewUser, EnterPressesTheFocusedButton)
{
    CKavexWindow& window = Show(Dataset(2));
    QPushButton* start = Find<QPushButton>(Start);
    window.activateWindow();
    start->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(start->hasFocus());
    QTest::keyClick(start, Qt::Key_Return);
    EXPECT_TRUE(CScratchFolder::Exists(Slice("rec_conv_", 1)));
    EXPECT_TRUE(window.isVisible());
}
