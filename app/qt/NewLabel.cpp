#include "app/qt/NewLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

void CControlToolTip::Attach(QWidget* control, const QString& text)
{
    if (control != nullptr) control->setToolTip(text);
}

CNewLabel::CNewLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    m_crText = palette().color(QPalette::WindowText);
    m_crBk = palette().color(QPalette::Window);
    m_crHighlight = palette().color(QPalette::Highlight);
    connect(&m_flashTimer, &QTimer::timeout, this,
            [this]
            {
                m_bFlashOn = !m_bFlashOn;
                update();
            });
}

CNewLabel& CNewLabel::SetTextColor(const QColor& color)
{
    m_crText = color;
    update();
    return *this;
}

CNewLabel& CNewLabel::SetBkColor(const QColor& color)
{
    m_crBk = color;
    update();
    return *this;
}

CNewLabel& CNewLabel::SetHighlightColor(const QColor& color)
{
    m_crHighlight = color;
    update();
    return *this;
}

CNewLabel& CNewLabel::SetBorder(bool border)
{
    m_bBorder = border;
    update();
    return *this;
}

CNewLabel& CNewLabel::SetLink(bool link, const QString& target)
{
    m_bLink = link;
    m_strTarget = target;
    setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QFont f = font();
    f.setUnderline(link);
    setFont(f);
    return *this;
}

CNewLabel& CNewLabel::SetFlash(bool flash, int intervalMs)
{
    m_bFlashOn = true;
    if (flash)
        m_flashTimer.start(intervalMs);
    else
        m_flashTimer.stop();
    update();
    return *this;
}

CNewLabel& CNewLabel::SetToolTipText(const QString& text)
{
    CControlToolTip::Attach(this, text);
    return *this;
}

void CNewLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, m_crBk);
    if (m_bBorder)
    {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (!m_bFlashOn) return;
    painter.setFont(font());
    painter.setPen(m_bHover && m_bLink ? m_crHighlight : m_crText);
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

void CNewLabel::enterEvent(QEnterEvent* event)
{
    m_bHover = true;
    update();
    QLabel::enterEvent(event);
}

void CNewLabel::leaveEvent(QEvent* event)
{
    m_bHover = false;
    update();
    QLabel::leaveEvent(event);
}

void CNewLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_bLink && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    {
        const QString target = LinkTarget();
        const QUrl url = target.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(target) : QUrl(target);
        QDesktopServices::openUrl(url);
        emit LinkOpened(target);
        return;
    }
    QLabel::mouseReleaseEvent(event);
}
