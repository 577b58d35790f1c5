#include "app/TextProgress.h"

#include <cstdio>

int32_t CTextProgressCtrl::SetPos(int32_t pos)
{
    const int32_t old = m_nPos;
    m_nPos = pos;
    Invalidate();
    return old;
}

int32_t CTextProgressCtrl::SetStep(int32_t step)
{
    const int32_t old = m_nStep;
    m_nStep = step;
    return old;
}

// Like the platform's bar, stepping past the end wraps to the start.
int32_t CTextProgressCtrl::StepIt()
{
    int32_t pos = m_nPos + m_nStep;
    if (pos > m_nMax) pos = m_nMin + (pos - m_nMax);
    return SetPos(pos);
}

void CTextProgressCtrl::SetRange(int32_t lower, int32_t upper)
{
    m_nMin = lower;
    m_nMax = upper;
    Invalidate();
}

void CTextProgressCtrl::SetText(const std::string& text)
{
    m_strText = text;
    Invalidate();
}

void CTextProgressCtrl::SetShowText(bool show)
{
    m_bShowText = show ? 1 : 0;
    Invalidate();
}

void CTextProgressCtrl::SetBarColor(uint32_t rgb)
{
    m_crBar = rgb;
    Invalidate();
}

void CTextProgressCtrl::SetBkColor(uint32_t rgb)
{
    m_crBk = rgb;
    Invalidate();
}

void CTextProgressCtrl::SetTextColor(uint32_t rgb)
{
    m_crText = rgb;
    Invalidate();
}

double CTextProgressCtrl::Fraction() const
{
    if (m_nMin >= m_nMax) return 0.0;
    return (static_cast<double>(m_nPos) - m_nMin) / (static_cast<double>(m_nMax) - m_nMin);
}

std::string CTextProgressCtrl::DisplayText() const
{
    if (!m_strText.empty()) return m_strText;
    char text[32];
    std::snprintf(text, sizeof text, "%d%%", static_cast<int>(Fraction() * 100.0));
    return text;
}

CTextProgressCtrl::CLayout CTextProgressCtrl::Layout(int32_t width, int32_t height, bool vertical,
                                                     uint32_t sysHighlight, uint32_t sysWindow) const
{
    CLayout out;
    if (m_nMin >= m_nMax || width <= 0 || height <= 0) return out;
    out.bDraw = true;
    // A position outside the range draws an empty or a full bar, never outside the control.
    double fraction = Fraction();
    fraction = fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
    if (vertical)
    {
        const int32_t filled = static_cast<int32_t>(height * fraction);
        out.nFillLeft = 0;
        out.nFillRight = width;
        out.nFillTop = height - filled;
        out.nFillBottom = height;
    }
    else
    {
        out.nFillLeft = 0;
        out.nFillTop = 0;
        out.nFillRight = static_cast<int32_t>(width * fraction);
        out.nFillBottom = height;
    }
    out.crBar = m_crBar == DefaultColor ? sysHighlight : m_crBar;
    out.crBk = m_crBk == DefaultColor ? sysWindow : m_crBk;
    out.bText = m_bShowText != 0 && !vertical;
    if (out.bText) out.strText = DisplayText();
    out.crTextOnBar = m_crText == DefaultColor ? out.crBk : m_crText;
    out.crTextOnBk = m_crText == DefaultColor ? out.crBar : m_crText;
    return out;
}
