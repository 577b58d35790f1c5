#include "app/qt/AboutDlg.h"

#include "Base/platform/Platform.h"
#include "app/ControlIds.h"
#include "app/KavexApp.h"
#include "app/Version.h"
#include "app/qt/NewLabel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

QPixmap KavexPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const int slices = 4;
    const qreal w = size * 0.62, h = size * 0.42, step = size * 0.12;
    for (int i = 0; i < slices; ++i)
    {
        const QRectF r(size * 0.08 + i * step, size * 0.48 - i * step, w, h);
        QLinearGradient ramp(r.topLeft(), r.topRight());
        const int grey = 40 + i * 50;
        ramp.setColorAt(0, QColor(grey, grey, grey));
        ramp.setColorAt(1, QColor(255 - grey / 2, 255 - grey / 2, 255 - grey / 2));
        painter.setBrush(ramp);
        painter.setPen(QPen(QColor(0, 0, 128), std::max(1, size / 32)));
        painter.drawRect(r);
    }
    return picture;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Kavex"));
    auto* grid = new QGridLayout(this);

    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("c%1").arg(KavexId::AboutPicture));
    picture->setPixmap(KavexPicture(64));
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);

    m_pVersion = new QLabel(QString::fromStdString(ProgramVersionLine()));
    m_pVersion->setObjectName(QStringLiteral("c%1").arg(KavexId::AboutVersion));
    grid->addWidget(m_pVersion, 0, 1);

    const std::string help = KavexApp::HelpFilePath(vKit::PlatformProgramPath());
    m_pLink = new CNewLabel(QStringLiteral("Kavex user guide"));
    m_pLink->setObjectName(QStringLiteral("c%1").arg(KavexId::AboutLink));
    m_pLink->SetTextColor(QColor(0, 0, 255))
        .SetLink(true, QString::fromStdString(help))
        .SetToolTipText(QString::fromStdString(help));
    grid->addWidget(m_pLink, 1, 1);

    grid->addWidget(new QLabel(QStringLiteral("Copyright (C) Quorell. All rights reserved.")), 2, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("c%1").arg(KavexId::AboutOk));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
}
