#pragma once
// CTextProgressCtrl: a progress bar that prints its percentage, inverted where the bar passes under
// the text. This class holds the state and works out what to paint; the window layer paints it.

#include <cstdint>
#include <string>

class CTextProgressCtrl
{
public:
    // The "default colour": the text takes the opposite area's colour, the bar and the background
    // the system's highlight and window colours.
    static constexpr uint32_t DefaultColor = 0xFF000000;
    // Centred horizontally and vertically on a single line.
    static constexpr uint32_t DefaultTextFormat = 37;

    // What one paint draws, in pixels of the client area.
    struct CLayout
    {
        bool bDraw = false; // false when min >= max: nothing is painted
        int32_t nFillLeft = 0, nFillTop = 0, nFillRight = 0, nFillBottom = 0;
        uint32_t crBar = 0; // colour of the filled part
        uint32_t crBk = 0;  // colour of the empty part
        bool bText = false;
        std::string strText;
        uint32_t crTextOnBar = 0; // text colour where it lies over the filled part
        uint32_t crTextOnBk = 0;  // text colour over the empty part
    };

    CTextProgressCtrl() = default;
    virtual ~CTextProgressCtrl() = default;

    int32_t SetPos(int32_t pos); // returns the old position
    int32_t GetPos() const { return m_nPos; }
    int32_t SetStep(int32_t step);
    int32_t StepIt();
    void SetRange(int32_t lower, int32_t upper);

    void SetText(const std::string& text);
    const std::string& GetText() const { return m_strText; }
    void SetShowText(bool show);
    void SetBarColor(uint32_t rgb);
    uint32_t GetBarColor() const { return m_crBar; }
    void SetBkColor(uint32_t rgb);
    void SetTextColor(uint32_t rgb);

    double Fraction() const;
    // The text a horizontal bar shows: the fixed text, else the truncated percentage.
    std::string DisplayText() const;
    CLayout Layout(int32_t width, int32_t height, bool vertical, uint32_t sysHighlight,
                   uint32_t sysWindow) const;

protected:
    // Called by every setter that changes the look; the window layer repaints.
    virtual void Invalidate() {}

private:
    uint32_t m_crText = DefaultColor;
    int32_t m_nPos = 0;
    int32_t m_nStep = 1;
    int32_t m_nMax = 100;
    int32_t m_nMin = 0;
    std::string m_strText;
    int32_t m_bShowText = 1;
    uint32_t m_crBar = DefaultColor;
    uint32_t m_crBk = DefaultColor;
    uint32_t m_nTextFormat = DefaultTextFormat;
};
