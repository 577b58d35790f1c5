// Kavex, the desktop program: one dialog that converts and resizes CT data sets.
//   kavex [PATH]   PATH, any file of a data set, is opened as the source at start.
//   kavex --help | --version

#include "KavexVersion.h"
#include "app/KavexApp.h"
#include "app/KavexDlg.h"
#include "app/qt/AboutDlg.h"
#include "app/qt/KavexWindow.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Answered before any window exists, so that they work without a display.
    const std::string first = argc == 2 ? argv[1] : "";
    if (first == "-h" || first == "--help")
    {
        std::fputs(KavexApp::CommandLineHelp(), stdout);
        return 0;
    }
    if (first == "--version")
    {
        std::printf("kavex %s\n", KAVEX_VERSION_STRING);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavex"));
    // The desktop entry "kavex.desktop" names the window's program and icon for the desktop.
    QApplication::setDesktopFileName(QStringLiteral("kavex"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kavex"), QIcon(KavexPicture(64))));

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
