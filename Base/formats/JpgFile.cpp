#include "Base/formats/JpgFile.h"

#include "Base/files/FileUtils.h"
#include "Base/formats/WholeFile.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>

namespace vKit
{

namespace
{

constexpr double InchesPerMetre = 39.37007874015748;
constexpr uint8_t UnitsPerInch = 1;
constexpr uint8_t UnitsPerCentimetre = 2;

// Rows of the codec's DIB: 8-bit samples padded to a multiple of 4 bytes.
int32_t DibPadding(int32_t width)
{
    return (width + 3) / 4 * 4 - width;
}

// The JFIF density conversion. Reading: dots per inch d give round(d / 0.0254) pixels per
// metre, dots per centimetre d give d * 100. Writing picks, for both axes together, the unit
// whose nearest 16-bit densities read back closest to the resolution, dots per inch on a tie.
// So every whole resolution that is a multiple of 100 or the rounding of a whole number of dots
// per inch (72 dpi = 2835, 300 dpi = 11811) survives a write followed by a read exactly, a
// resolution read from a JPEG always does, and any other comes back within half a step (20
// pixels per metre in dots per inch). Resolutions beyond the field take its largest density;
// an unknown resolution (0) is written as density 0 and read back as 0.
double ResolutionOf(uint8_t units, uint16_t density)
{
    if (units == UnitsPerInch) return std::round(density * InchesPerMetre);
    if (units == UnitsPerCentimetre) return density * 100.0;
    return CJFIF::OtherUnitsResolution;
}

uint16_t DensityOf(uint8_t units, double pixelsPerMetre)
{
    const double density = units == UnitsPerInch ? pixelsPerMetre / InchesPerMetre : pixelsPerMetre / 100.0;
    if (!(density > 0)) return 0;
    return uint16_t(std::min(std::round(density), 65535.0));
}

double WriteError(uint8_t units, double x, double y)
{
    return std::fabs(ResolutionOf(units, DensityOf(units, x)) - x) +
           std::fabs(ResolutionOf(units, DensityOf(units, y)) - y);
}

// Codec state that is released on every path out of a read or a write.
struct SCodecSession
{
    CIntelImageJPEGLib& codec;
    JPEG_CORE_PROPERTIES props{};

    explicit SCodecSession(CIntelImageJPEGLib& c) : codec(c) {}
    ~SCodecSession() { codec.JpegFree(&props); }
    SCodecSession(const SCodecSession&) = delete;
    SCodecSession& operator=(const SCodecSession&) = delete;
};

} // namespace

// ---- CJFIF ------------------------------------------------------------------------------------

CJFIF::CJFIF()
{
    std::memset(m_block, 0, sizeof m_block);
}

int32_t CJFIF::Parse(const uint8_t* data, size_t size)
{
    std::memset(m_block, 0, sizeof m_block);
    if (!data || size < HeaderSize) return NotJfif;
    std::memcpy(m_block, data, HeaderSize);
    const bool marker = std::memcmp(m_block, "\xFF\xD8\xFF\xE0", 4) == 0;
    const bool length = m_block[4] != 0 || m_block[5] != 0;
    const bool name = std::memcmp(m_block + 6, "JFIF", 5) == 0;
    return marker && length && name ? 0 : NotJfif;
}

int32_t CJFIF::Read(const std::string& path)
{
    uint8_t bytes[HeaderSize] = {};
    int64_t done = 0;
    const int32_t err = ReadFileAt(path, 0, false, bytes, HeaderSize, &done);
    if (err != 0) return err;
    return Parse(bytes, size_t(done));
}

int32_t CJFIF::Write(const std::string& path) const
{
    return WriteFileAt(path, 0, false, m_block, HeaderSize);
}

void CJFIF::StoreTo(uint8_t* data) const
{
    std::memcpy(data, m_block, HeaderSize);
}

uint16_t CJFIF::GetDensityX() const
{
    return uint16_t(m_block[14] << 8 | m_block[15]);
}
uint16_t CJFIF::GetDensityY() const
{
    return uint16_t(m_block[16] << 8 | m_block[17]);
}

void CJFIF::SetDensity(uint8_t units, uint16_t x, uint16_t y)
{
    m_block[13] = units;
    m_block[14] = uint8_t(x >> 8);
    m_block[15] = uint8_t(x);
    m_block[16] = uint8_t(y >> 8);
    m_block[17] = uint8_t(y);
}

double CJFIF::GetResolutionX() const
{
    return ResolutionOf(GetUnits(), GetDensityX());
}
double CJFIF::GetResolutionY() const
{
    return ResolutionOf(GetUnits(), GetDensityY());
}

void CJFIF::SetResolution(double x, double y)
{
    const uint8_t units = WriteError(UnitsPerCentimetre, x, y) < WriteError(UnitsPerInch, x, y)
                              ? UnitsPerCentimetre
                              : UnitsPerInch;
    SetDensity(units, DensityOf(units, x), DensityOf(units, y));
}

// ---- decoding ---------------------------------------------------------------------------------

bool CJpgFile::Fail(int32_t code, const std::string& reason)
{
    m_status = code > 0 ? PlatformErrorStatus(code, "") : CStatus(code, "", reason);
    return false;
}

// libjpeg's text for a refused stream, or the codec's result in words when it has none.
bool CJpgFile::FailCodec(const JPEG_CORE_PROPERTIES& props, int result)
{
    const char* text = CIntelImageJPEGLib::LastMessage(&props);
    if (result == IJL_MEMORY_ERROR) return Fail(ENOMEM, "");
    const int32_t code = result == IJL_UNSUPPORTED ? CStatus::Unsupported
                         : result == IJL_TOO_LARGE ? CStatus::TooLarge
                                                   : CStatus::Corrupt;
    return Fail(code, *text ? text : "the JPEG codec refused the data");
}

bool CJpgFile::ReadJpeg(const std::string& path)
{
    CAlignedBlock file;
    CAlignedBlock rows;
    return ReadJpeg(path, file, rows);
}

bool CJpgFile::ReadJpeg(const std::string& path, CAlignedBlock& file, CAlignedBlock& rows)
{
    m_image.Empty();
    size_t size = 0;
    const int32_t err = ReadWholeFile(path, file, size, UINT64_MAX);
    const bool read = err == 0 ? DecodeJpeg(size > 0 ? file.Data() : nullptr, size, rows) : Fail(err, "");
    m_status.SetPath(path);
    if (!read) return false;
    m_image.Info().SetFileName(path);
    return true;
}

bool CJpgFile::DecodeJpeg(const uint8_t* data, size_t size)
{
    CAlignedBlock rows;
    return DecodeJpeg(data, size, rows);
}

bool CJpgFile::DecodeJpeg(const uint8_t* data, size_t size, CAlignedBlock& rows)
{
    m_image.Empty();
    m_status = CStatus();
    SCodecSession session(m_codec);
    JPEG_CORE_PROPERTIES& props = session.props;
    if (m_codec.JpegInit(&props) != IJL_OK) return Fail(ENOMEM, "");
    props.JPGBytes = data;
    props.JPGSizeBytes = data ? size : 0;
    int result = m_codec.JpegRead(&props, IJL_JBUFF_READPARAMS);
    if (result != IJL_OK) return FailCodec(props, result);

    const int32_t width = props.JPGWidth;
    const int32_t height = props.JPGHeight;
    const int32_t padding = DibPadding(width);
    if (!rows.Allocate(size_t(width + padding) * size_t(height), 32)) return Fail(ENOMEM, "");
    props.DIBBytes = rows.Data();
    props.DIBWidth = width;
    props.DIBHeight = -height;
    props.DIBPadBytes = padding;
    props.DIBChannels = 1;
    props.DIBColor = props.JPGColor == IJL_OTHER ? IJL_OTHER : IJL_G;
    result = m_codec.JpegRead(&props, IJL_JBUFF_READWHOLEIMAGE);
    if (result != IJL_OK) return FailCodec(props, result);

    CJFIF jfif;
    const bool hasJfif = jfif.Parse(data, size) == 0;
    if (!m_image.Create(width, height)) return Fail(ENOMEM, "");
    m_image.CopyFrom8(rows.Data(), 0, 0, width, height, padding, true);

    CImageInfo& info = m_image.Info();
    info.SetBitsPerPixel(16);
    info.SetSignificantBits(8);
    info.SetGreyCeiling(0xFF00);
    info.SetClampOnExport(false);
    info.SetBottomUp(false);
    info.SetClampMode(1);
    info.SetResolutionX(hasJfif ? jfif.GetResolutionX() : CJFIF::NoHeaderResolution);
    info.SetResolutionY(hasJfif ? jfif.GetResolutionY() : CJFIF::NoHeaderResolution);
    info.ColorTable().SetGreyRamp(256);
    info.AltColorTable().SetGreyRamp(256);
    info.SetRowPadding(padding);
    return true;
}

// ---- encoding ---------------------------------------------------------------------------------

bool CJpgFile::EncodeJpeg(const CImageBuffer16& image, std::vector<uint8_t>& stream)
{
    CAlignedBlock rows;
    return EncodeJpeg(image, stream, rows);
}

bool CJpgFile::EncodeJpeg(const CImageBuffer16& image, std::vector<uint8_t>& stream, CAlignedBlock& rows)
{
    stream.clear();
    m_status = CStatus();
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    if (image.IsEmpty() || width < 1 || height < 1) return Fail(CStatus::Refused, "the image is empty");
    if (image.Info().GetBitsPerPixel() < 8)
        return Fail(CStatus::Refused,
                    std::to_string(image.Info().GetBitsPerPixel()) + " bits per pixel; a JPEG slice needs 8");

    // The codec takes bottom-first rows of high bytes, each padded to 4 bytes.
    const int32_t padding = DibPadding(width);
    const size_t stride = size_t(width) + size_t(padding);
    if (!rows.Allocate(stride * size_t(height), 32)) return Fail(ENOMEM, "");
    for (int32_t r = 0; r < height; ++r)
    {
        const uint16_t* source = image.Row(height - 1 - r);
        uint8_t* row = rows.Data() + stride * size_t(r);
        for (int32_t x = 0; x < width; ++x)
            row[x] = uint8_t(source[x] >> 8);
        std::memset(row + width, 0, size_t(padding));
    }

    SCodecSession session(m_codec);
    JPEG_CORE_PROPERTIES& props = session.props;
    if (m_codec.JpegInit(&props) != IJL_OK) return Fail(ENOMEM, "");
    const int32_t quality = image.Info().GetJpegQuality();
    if (quality >= 0 && quality <= 100) props.jquality = quality;
    props.JPGWidth = width;
    props.JPGHeight = height;
    props.JPGChannels = 1;
    props.JPGColor = IJL_G;
    props.JPGSubsampling = IJL_NONE;
    props.DIBBytes = rows.Data();
    props.DIBWidth = width;
    props.DIBHeight = -height;
    props.DIBPadBytes = padding;
    props.DIBChannels = 1;
    props.DIBColor = IJL_G;
    const int result = m_codec.JpegWrite(&props, IJL_JBUFF_WRITEWHOLEIMAGE);
    if (result != IJL_OK) return FailCodec(props, result);
    stream.assign(props.JPGBytes, props.JPGBytes + props.JPGSizeBytes);

    CJFIF jfif;
    if (jfif.Parse(stream.data(), stream.size()) == 0)
    {
        jfif.SetResolution(image.Info().GetResolutionX(), image.Info().GetResolutionY());
        jfif.StoreTo(stream.data());
    }
    return true;
}

int32_t CJpgFile::WriteJpeg(const std::string& path)
{
    return WriteJpeg(path, m_image);
}

int32_t CJpgFile::WriteJpeg(const std::string& path, const CImageBuffer16& image)
{
    std::vector<uint8_t> stream;
    const bool encoded = EncodeJpeg(image, stream);
    const int32_t err = encoded ? PlatformWriteFileAtomically(path, stream.data(), stream.size()) : 0;
    if (err != 0) Fail(err, "");
    m_status.SetPath(path);
    return encoded ? err : 2;
}

int32_t CJpgFile::ReadDensity(const std::string& path)
{
    CJFIF jfif;
    const int32_t result = jfif.Read(path);
    const bool ok = result == 0;
    m_image.Info().SetResolutionX(ok ? jfif.GetResolutionX() : CJFIF::NoHeaderResolution);
    m_image.Info().SetResolutionY(ok ? jfif.GetResolutionY() : CJFIF::NoHeaderResolution);
    return result;
}

int32_t CJpgFile::WriteDensity(const std::string& path)
{
    CJFIF jfif;
    const int32_t result = jfif.Read(path);
    if (result != 0) return result;
    jfif.SetResolution(m_image.Info().GetResolutionX(), m_image.Info().GetResolutionY());
    return jfif.Write(path);
}

} // namespace vKit
