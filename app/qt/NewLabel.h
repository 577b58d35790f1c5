#pragma once
// CNewLabel: a label that paints itself: colours, alignment, an optional border, hover
// highlighting, flashing, and opening its link (its text unless another target is set).
// CControlToolTip gives a control its tool tip.

#include <QLabel>
#include <QTimer>

class CControlToolTip
{
public:
    static void Attach(QWidget* control, const QString& text);
};

class CNewLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CNewLabel(const QString& text = QString(), QWidget* parent = nullptr);

    CNewLabel& SetTextColor(const QColor& color);
    CNewLabel& SetBkColor(const QColor& color);
    CNewLabel& SetHighlightColor(const QColor& color);
    CNewLabel& SetBorder(bool border);
    CNewLabel& SetLink(bool link, const QString& target = QString());
    CNewLabel& SetFlash(bool flash, int intervalMs = 500);
    CNewLabel& SetToolTipText(const QString& text);

    bool IsLink() const { return m_bLink; }
    QString LinkTarget() const { return m_strTarget.isEmpty() ? text() : m_strTarget; }
    QColor TextColor() const { return m_crText; }

signals:
    void LinkOpened(const QString& target);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_crText;
    QColor m_crBk;
    QColor m_crHighlight;
    bool m_bBorder = false;
    bool m_bLink = false;
    bool m_bHover = false;
    bool m_bFlashOn = true;
    QString m_strTarget;
    QTimer m_flashTimer;
};
