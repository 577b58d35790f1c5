#include "app/PreviewPicture.h"

namespace
{
// The grey each high byte is shown as.
void GreyTable(const vKit::CImageBuffer16& image, uint8_t grey[256])
{
    const vKit::CColorTable& table = image.Info().ColorTable();
    const bool palette = table.GetCount() == 256;
    for (int32_t i = 0; i < 256; ++i)
        grey[i] = palette ? table.GetEntries()[4 * i + 2] : uint8_t(i); // entries are B, G, R, 0
}
} // namespace

std::vector<uint8_t> DisplayGrey(const vKit::CImageBuffer16& image)
{
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    if (image.IsEmpty() || width < 1 || height < 1) return {};
    uint8_t grey[256];
    GreyTable(image, grey);
    std::vector<uint8_t> out(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y)
    {
        const uint16_t* row = image.Row(y);
        uint8_t* dst = out.data() + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x)
            dst[x] = grey[row[x] >> 8];
    }
    return out;
}

std::vector<uint64_t> DisplayHistogram(const vKit::CImageBuffer16& image)
{
    std::vector<uint64_t> bins(256, 0);
    if (image.Histogram().GetBinCount() != 256) return bins;
    uint8_t grey[256];
    GreyTable(image, grey);
    for (int32_t i = 0; i < 256; ++i)
        bins[grey[i]] += image.Histogram().GetBin(i);
    return bins;
}
