// Palette reversal and raw-data inversion, and the grey tests the dialog draws its palette
// boxes from. K: the source is a BMP data set whose palette falls from light to dark; such a
// source written to another format is inverted by default, and the options act relative to it.

#include "engine/DatasetConversion.h"

namespace
{

bool FallingBmpSource(CDatasetConversion& job)
{
    return job.IsSourceBmp() && job.GetSourcePalette().IsGreyFalling();
}

} // namespace

bool CDatasetConversion::IsDestinationPaletteFalling()
{
    return IsDestinationBmp() && (FallingBmpSource(*this) != GetInvertPalette());
}

bool CDatasetConversion::IsDestinationRangeInverted()
{
    return MustInvertRawData();
}

bool CDatasetConversion::MustReversePalette()
{
    const bool bmpDestination = IsDestinationBmp();
    if (FallingBmpSource(*this))
        return (!bmpDestination && !GetInvertRawData()) || (bmpDestination && GetInvertPalette());
    return bmpDestination && GetInvertPalette();
}

bool CDatasetConversion::MustInvertRawData()
{
    return GetInvertRawData() != (FallingBmpSource(*this) && !IsDestinationBmp());
}

void CDatasetConversion::ReversePalette(vKit::CColorTable& table)
{
    vKit::ReverseColorEntries(table.GetEntries(), table.GetCount());
}

void CDatasetConversion::InvertRawData(vKit::CImageBuffer16& image)
{
    uint16_t* p = image.GetData();
    if (p == nullptr) return;
    const int64_t n = image.PixelCount();
    for (int64_t i = 0; i < n; ++i)
        p[i] = uint16_t(~p[i]);
    image.SamplesChanged();
}
