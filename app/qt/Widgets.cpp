#include "app/qt/Widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

QColor ToQColor(uint32_t rgb)
{
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

uint32_t FromQColor(const QColor& color)
{
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

CSpinButton::CSpinButton(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pUp = new QToolButton(this);
    m_pDown = new QToolButton(this);
    for (QToolButton* b : {m_pUp, m_pDown})
    {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(16);
        b->setIconSize(QSize(8, 6));
        layout->addWidget(b);
    }
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    connect(m_pUp, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void CSpinButton::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    m_nPos = std::clamp(m_nPos, std::min(lower, upper), std::max(lower, upper));
}

void CSpinButton::SetPos(int pos)
{
    m_nPos = std::clamp(pos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
}

QSize CSpinButton::sizeHint() const
{
    return QSize(16, 22);
}

void CSpinButton::StepBy(int delta)
{
    const int pos = std::clamp(m_nPos + delta, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
    if (pos == m_nPos) return;
    m_nPos = pos;
    emit PositionChanged(pos);
}

void CSpinButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        StepBy(1);
    else if (event->key() == Qt::Key_Down)
        StepBy(-1);
    else
        QWidget::keyPressEvent(event);
}

void CSpinButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
    {
        m_pUp->setEnabled(isEnabled());
        m_pDown->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

CPaletteBar::CPaletteBar(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setMinimumSize(96, 16);
}

QImage CPaletteBar::ToImage(const vKit::CDib& dib)
{
    if (!dib.IsValid()) return QImage();
    QImage image(dib.GetWidth(), dib.GetHeight(), QImage::Format_Indexed8);
    QList<QRgb> colors;
    for (int i = 0; i < vKit::CDib::PaletteSize; ++i)
    {
        const uint32_t c = dib.GetPaletteColor(i);
        colors.append(qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                           static_cast<int>((c >> 16) & 0xFF)));
    }
    image.setColorTable(colors);
    for (int y = 0; y < dib.GetHeight(); ++y)
        std::copy(dib.GetRow(y), dib.GetRow(y) + dib.GetWidth(), image.scanLine(y));
    return image;
}

void CPaletteBar::SetPicture(const vKit::CDib& dib)
{
    m_image = ToImage(dib);
    update();
}

void CPaletteBar::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_image.isNull()) return;
    QPainter painter(this);
    QImage shown = m_image;
    if (!isEnabled())
    {
        // A disabled bar reads as washed out grey whatever its palette.
        shown = m_image.convertToFormat(QImage::Format_Grayscale8);
        painter.setOpacity(0.5);
    }
    painter.drawImage(contentsRect(), shown);
}

CElidedLabel::CElidedLabel(QWidget* parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
}

void CElidedLabel::SetFullText(const QString& text)
{
    m_strFull = text;
    setToolTip(text);
    Refresh();
}

QSize CElidedLabel::minimumSizeHint() const
{
    return QSize(40, QLabel::minimumSizeHint().height());
}

void CElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Refresh();
}

void CElidedLabel::Refresh()
{
    setText(fontMetrics().elidedText(m_strFull, Qt::ElideMiddle, std::max(10, contentsRect().width())));
}

CTextProgressWidget::CTextProgressWidget(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CTextProgressWidget::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 8);
}

void CTextProgressWidget::paintEvent(QPaintEvent*)
{
    const QRect r = rect();
    const CLayout layout =
        Layout(r.width(), r.height(), m_bVertical, FromQColor(palette().color(QPalette::Highlight)),
               FromQColor(palette().color(QPalette::Base)));
    QPainter painter(this);
    if (!layout.bDraw)
    {
        painter.fillRect(r, palette().color(QPalette::Base));
        return;
    }
    const QRect filled(QPoint(layout.nFillLeft, layout.nFillTop),
                       QPoint(layout.nFillRight - 1, layout.nFillBottom - 1));
    painter.fillRect(r, ToQColor(layout.crBk));
    if (layout.nFillRight > layout.nFillLeft && layout.nFillBottom > layout.nFillTop)
        painter.fillRect(filled, ToQColor(layout.crBar));
    if (layout.bText)
    {
        const QString text = QString::fromStdString(layout.strText);
        painter.save();
        painter.setClipRect(filled);
        painter.setPen(ToQColor(layout.crTextOnBar));
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
        painter.restore();
        QRegion rest(r);
        rest -= QRegion(filled);
        painter.setClipRegion(rest);
        painter.setPen(ToQColor(layout.crTextOnBk));
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter.setClipping(false);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}
