// Kavex, the desktop program: one dialog that converts and resizes CT data sets.
//   kavex [PATH]   PATH, any file of a data set, is opened as the source at start.

#include "app/KavexApp.h"
#include "app/KavexDlg.h"
#include "app/qt/AboutDlg.h"
#include "app/qt/KavexWindow.h"

#include <QApplication>
#include <QIcon>

#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavex"));
    QApplication::setWindowIcon(QIcon(KavexPicture(64)));

    // Constructing the dialog brings up the library's globals and the user's settings.
    CKavexWindow dialog;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    dialog.Logic().SetSourcePath(KavexApp::SourcePathFromArguments(arguments));
    dialog.exec();
    // Leaving the scope destroys the dialog, which writes the remembered folders back.
    return 0;
}
