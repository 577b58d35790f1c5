#pragma once
// Small Qt controls the main dialog needs that Qt has no exact match for: a spin button without
// a buddy edit, a palette bar, a label that elides a path in its middle, and the text progress bar.

#include "app/Dib.h"
#include "app/TextProgress.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QWidget>

class QToolButton;

// An up-down control: two arrow buttons and a position in a range, nothing else.
class CSpinButton : public QWidget
{
    Q_OBJECT
public:
    explicit CSpinButton(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    void SetPos(int pos); // silent: only the user's changes are signalled
    int Pos() const { return m_nPos; }
    int Lower() const { return m_nLower; }
    int Upper() const { return m_nUpper; }
    QSize sizeHint() const override;

signals:
    void PositionChanged(int pos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void StepBy(int delta);

    QToolButton* m_pUp;
    QToolButton* m_pDown;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};

// A sunken frame that paints an 8-bit palette picture stretched over its inside.
class CPaletteBar : public QFrame
{
public:
    explicit CPaletteBar(QWidget* parent = nullptr);
    void SetPicture(const vKit::CDib& dib);
    const QImage& Image() const { return m_image; }

    static QImage ToImage(const vKit::CDib& dib);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

// A static text that keeps its full text and shows "..." in the middle when it does not fit.
class CElidedLabel : public QLabel
{
public:
    explicit CElidedLabel(QWidget* parent = nullptr);
    void SetFullText(const QString& text);
    QString FullText() const { return m_strFull; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Refresh();
    QString m_strFull;
};

// The progress bar: CTextProgressCtrl's state painted with Qt.
class CTextProgressWidget : public QWidget, public CTextProgressCtrl
{
public:
    explicit CTextProgressWidget(QWidget* parent = nullptr);
    void SetVertical(bool vertical)
    {
        m_bVertical = vertical;
        update();
    }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void Invalidate() override { update(); }

private:
    bool m_bVertical = false;
};

QColor ToQColor(uint32_t rgb);
uint32_t FromQColor(const QColor& color);
