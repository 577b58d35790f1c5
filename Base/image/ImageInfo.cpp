#include "Base/image/ImageInfo.h"

#include <cmath>
#include <cstring>

namespace vKit
{

namespace
{
// Below this a resolution or pixel size counts as unknown.
constexpr double Tiny = 1e-12;

double Reciprocal(double scale, double value)
{
    return std::fabs(value) > Tiny ? scale / value : 0.0;
}
} // namespace

void CImageInfo::Reset()
{
    m_nWidth = 0;
    m_nHeight = 0;
    m_nBitsPerPixel = 0;
    m_nSignificantBits = 0;
    m_nGreyCeiling = 65535;
    m_bClampOnExport = false;
    m_nClampMode = 1;
    m_dResolutionX = 0.0;
    m_dResolutionY = 0.0;
    m_nJpegQuality = 100;
    m_bBottomUp = false;
    m_nPrivateA = 0;
    m_nPrivateB = 0;
    m_nPrivateC = 0;
    m_nPrivateD = 0;
    m_nPrivateE = 0;
    m_colorTable.Clear();
    m_altColorTable.Clear();
    m_nImageBytes = 0;
    m_nRowPadding = 0;
    m_nWritePadding = 0;
    m_privateBlock.assign(DefaultPrivateBlockSize, 0);
    std::memcpy(m_privateBlock.data(), PrivateSignature, sizeof(PrivateSignature));
    m_sFileName.clear();
    m_bDefaultResolution = false;
}

void CImageInfo::MirrorPrivate(int32_t offset, int32_t value)
{
    // A block too short for the value takes the bytes that fit.
    const uint32_t u = uint32_t(value);
    for (int32_t i = 0; i < 4 && size_t(offset + i) < m_privateBlock.size(); ++i)
        m_privateBlock[size_t(offset + i)] = uint8_t(u >> (8 * i));
}

void CImageInfo::SetPrivateA(int32_t v)
{
    m_nPrivateA = v;
    MirrorPrivate(PrivateAOffset, v);
}

void CImageInfo::SetPrivateB(int32_t v)
{
    m_nPrivateB = v;
    MirrorPrivate(PrivateBOffset, v);
}

void CImageInfo::SetPrivateBlock(const uint8_t* data, size_t size)
{
    if (!data) size = 0;
    m_privateBlock.assign(data, data + size);
}

double CImageInfo::GetPixelSizeXum() const
{
    return Reciprocal(1e6, m_dResolutionX);
}
double CImageInfo::GetPixelSizeYum() const
{
    return Reciprocal(1e6, m_dResolutionY);
}
double CImageInfo::GetPixelSizeXmm() const
{
    return Reciprocal(1e3, m_dResolutionX);
}
double CImageInfo::GetPixelSizeYmm() const
{
    return Reciprocal(1e3, m_dResolutionY);
}
void CImageInfo::SetPixelSizeXum(double um)
{
    m_dResolutionX = Reciprocal(1e6, um);
}
void CImageInfo::SetPixelSizeYum(double um)
{
    m_dResolutionY = Reciprocal(1e6, um);
}
void CImageInfo::SetPixelSizeXmm(double mm)
{
    m_dResolutionX = Reciprocal(1e3, mm);
}
void CImageInfo::SetPixelSizeYmm(double mm)
{
    m_dResolutionY = Reciprocal(1e3, mm);
}

} // namespace vKit
