#pragma once
// CAboutDlg: the About box with the program's picture, its version line, the link to the user
// guide and the rights notice.

#include <QDialog>
#include <QPixmap>

class CNewLabel;
class QLabel;

class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* VersionLabel() const { return m_pVersion; }
    CNewLabel* LinkLabel() const { return m_pLink; }

private:
    QLabel* m_pVersion;
    CNewLabel* m_pLink;
};

// The program's picture: a stack of grey slices. Also the window icon.
QPixmap KavexPicture(int size);
