#pragma once
// The description record of an image: size, sample depth, grey ceiling, export settings,
// resolutions, the private values, both palettes, the pixel-array layout of the file it
// came from, the private data block and the file name.

#include "Base/image/ColorTable.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vKit
{

class CImageInfo
{
public:
    // Length of the private block after Reset, and its signature ("Quorell" + NUL in bytes 0-7).
    static constexpr int32_t DefaultPrivateBlockSize = 56;
    static constexpr char PrivateSignature[] = "Quorell";
    // Byte offsets of the mirrored private pair inside the block (little-endian int32).
    static constexpr int32_t PrivateAOffset = 8;
    static constexpr int32_t PrivateBOffset = 12;

    CImageInfo() { Reset(); }
    CImageInfo(const CImageInfo&) = default;
    CImageInfo& operator=(const CImageInfo&) = default;

    int32_t GetWidth() const { return m_nWidth; }
    virtual void SetWidth(int32_t v) { m_nWidth = v; }
    int32_t GetHeight() const { return m_nHeight; }
    virtual void SetHeight(int32_t v) { m_nHeight = v; }
    int32_t GetBitsPerPixel() const { return m_nBitsPerPixel; }
    virtual void SetBitsPerPixel(int32_t v) { m_nBitsPerPixel = v; }
    int32_t GetSignificantBits() const { return m_nSignificantBits; }
    virtual void SetSignificantBits(int32_t v) { m_nSignificantBits = v; }
    int32_t GetGreyCeiling() const { return m_nGreyCeiling; }
    virtual void SetGreyCeiling(int32_t v) { m_nGreyCeiling = v; }
    bool GetClampOnExport() const { return m_bClampOnExport; }
    virtual void SetClampOnExport(bool v) { m_bClampOnExport = v; }
    int32_t GetClampMode() const { return m_nClampMode; }
    virtual void SetClampMode(int32_t v) { m_nClampMode = v; }
    // Resolutions in pixels per metre; 0 = unknown.
    double GetResolutionX() const { return m_dResolutionX; }
    virtual void SetResolutionX(double v) { m_dResolutionX = v; }
    double GetResolutionY() const { return m_dResolutionY; }
    virtual void SetResolutionY(double v) { m_dResolutionY = v; }
    int32_t GetJpegQuality() const { return m_nJpegQuality; }
    virtual void SetJpegQuality(int32_t v) { m_nJpegQuality = v; }
    bool GetBottomUp() const { return m_bBottomUp; }
    virtual void SetBottomUp(bool v) { m_bBottomUp = v; }
    // The private pair; the setters also write the value into the private block.
    int32_t GetPrivateA() const { return m_nPrivateA; }
    virtual void SetPrivateA(int32_t v);
    int32_t GetPrivateB() const { return m_nPrivateB; }
    virtual void SetPrivateB(int32_t v);
    int32_t GetPrivateC() const { return m_nPrivateC; }
    virtual void SetPrivateC(int32_t v) { m_nPrivateC = v; }
    int32_t GetPrivateD() const { return m_nPrivateD; }
    virtual void SetPrivateD(int32_t v) { m_nPrivateD = v; }
    int32_t GetPrivateE() const { return m_nPrivateE; }
    virtual void SetPrivateE(int32_t v) { m_nPrivateE = v; }

    CColorTable& ColorTable() { return m_colorTable; }
    const CColorTable& ColorTable() const { return m_colorTable; }
    virtual void SetColorTable(const CColorTable& t) { m_colorTable = t; }
    CColorTable& AltColorTable() { return m_altColorTable; }
    const CColorTable& AltColorTable() const { return m_altColorTable; }
    virtual void SetAltColorTable(const CColorTable& t) { m_altColorTable = t; }

    // Layout of the pixel array of the file the record was parsed from.
    int32_t GetImageBytes() const { return m_nImageBytes; }
    virtual void SetImageBytes(int32_t v) { m_nImageBytes = v; }
    int32_t GetRowPadding() const { return m_nRowPadding; }
    virtual void SetRowPadding(int32_t v) { m_nRowPadding = v; }
    int32_t GetWritePadding() const { return m_nWritePadding; }
    virtual void SetWritePadding(int32_t v) { m_nWritePadding = v; }

    const std::vector<uint8_t>& PrivateBlock() const { return m_privateBlock; }
    // Replaces the block by size bytes (the file's own length); the pair fields are not touched.
    virtual void SetPrivateBlock(const uint8_t* data, size_t size);

    const std::string& GetFileName() const { return m_sFileName; }
    virtual void SetFileName(const std::string& v) { m_sFileName = v; }
    bool GetDefaultResolution() const { return m_bDefaultResolution; }
    virtual void SetDefaultResolution(bool v) { m_bDefaultResolution = v; }

    virtual ~CImageInfo() = default;
    virtual void Reset();

    // Pixel sizes: 1e6 / resolution (micrometres) or 1e3 / resolution (millimetres);
    // 0.0 both ways when the value is (nearly) zero.
    double GetPixelSizeXum() const;
    virtual void SetPixelSizeXum(double um);
    double GetPixelSizeYum() const;
    virtual void SetPixelSizeYum(double um);
    double GetPixelSizeXmm() const;
    virtual void SetPixelSizeXmm(double mm);
    double GetPixelSizeYmm() const;
    virtual void SetPixelSizeYmm(double mm);

    bool HasPrivatePair() const { return m_nPrivateA != m_nPrivateB; }
    std::pair<int32_t, int32_t> GetSize() const { return {m_nWidth, m_nHeight}; }

private:
    void MirrorPrivate(int32_t offset, int32_t value);

    int32_t m_nWidth;
    int32_t m_nHeight;
    int32_t m_nBitsPerPixel;
    int32_t m_nSignificantBits;
    int32_t m_nGreyCeiling;
    bool m_bClampOnExport;
    int32_t m_nClampMode;
    double m_dResolutionX;
    double m_dResolutionY;
    int32_t m_nJpegQuality;
    bool m_bBottomUp;
    int32_t m_nPrivateA;
    int32_t m_nPrivateB;
    int32_t m_nPrivateC;
    int32_t m_nPrivateD;
    int32_t m_nPrivateE;
    CColorTable m_colorTable;
    CColorTable m_altColorTable;
    int32_t m_nImageBytes;
    int32_t m_nRowPadding;
    int32_t m_nWritePadding;
    std::vector<uint8_t> m_privateBlock;
    std::string m_sFileName;
    bool m_bDefaultResolution;
};

} // namespace vKit
