#include "tools/SampleWriter.h"

#include "Base/core/Strings.h"
#include "Base/formats/FileImageBuffer16.h"
#include "Base/platform/Platform.h"
#include "tools/Phantom.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kavex::sample
{
namespace
{

std::string Format(const char* pattern, double a)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, a);
    return text;
}

int32_t MakeFolders(const std::string& folder)
{
    for (size_t pos = 1; pos <= folder.size(); ++pos)
    {
        if (pos < folder.size() && folder[pos] != vKit::PathSeparator) continue;
        const int32_t err = vKit::PlatformMakeFolder(folder.substr(0, pos));
        if (err != 0 && err != EEXIST) return err;
    }
    return 0;
}

class CWriter
{
public:
    CWriter(const SampleSettings& s, SampleResult& r) : m_s(s), m_r(r) {}

    std::string PathOf(const std::string& name) const
    {
        return vKit::JoinPath(m_s.folder, m_s.prefix + name);
    }

    bool WriteText(const std::string& name, const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        const std::string path = PathOf(name);
        vKit::CPlatformFile file;
        int32_t err = file.Open(path, vKit::PlatformOpenMode::CreateAlways);
        if (err == 0) err = file.Write(text.data(), text.size());
        if (err == 0) err = file.Close();
        return Done(path, text.size(), err);
    }

    // Samples are densities; how they are stored depends on the format: BMP slices carry a
    // falling palette, so their values run the other way.
    bool WriteImage(const std::string& name, int32_t width, int32_t height, const uint16_t* density)
    {
        if (!m_image.Create(width, height, 32)) return Done(PathOf(name), 0, ENOMEM);
        const bool falling = m_s.format == "bmp";
        const size_t count = size_t(width) * size_t(height);
        uint16_t* out = m_image.GetData();
        for (size_t i = 0; i < count; ++i)
            out[i] = falling ? uint16_t(65535 - density[i]) : density[i];
        Describe(m_image.Info(), falling);
        const std::string path = PathOf(name);
        const int32_t rc = m_image.SaveFile(path);
        int64_t size = 0;
        vKit::CPlatformStat st;
        if (rc == 0 && vKit::PlatformStat(path, st) == 0) size = int64_t(st.size);
        return Done(path, uint64_t(size), rc == 0 ? 0 : EIO);
    }

private:
    void Describe(vKit::CImageInfo& info, bool falling) const
    {
        info.SetPixelSizeXum(m_s.pixelSizeUm);
        info.SetPixelSizeYum(m_s.pixelSizeUm);
        if (!falling) return;
        vKit::CColorTable palette(256);
        uint8_t* e = palette.GetEntries();
        for (int i = 0; i < 256; ++i)
            e[4 * i] = e[4 * i + 1] = e[4 * i + 2] = uint8_t(255 - i);
        info.SetColorTable(palette);
        info.SetAltColorTable(palette);
        info.SetPrivateA(m_s.calibrationLow);
        info.SetPrivateB(m_s.calibrationHigh);
    }

    bool Done(const std::string& path, uint64_t bytes, int32_t err)
    {
        if (err != 0)
        {
            m_r.error = "cannot write " + path + ": " + std::strerror(err);
            return false;
        }
        m_r.written.push_back(path);
        m_r.bytes += bytes;
        return true;
    }

    const SampleSettings& m_s;
    SampleResult& m_r;
    vKit::CFileImageBuffer16 m_image;
};

std::vector<std::string> ConfigLines(const SampleSettings& s)
{
    return {"[Reconstruction]",
            "Prefix=" + s.prefix,
            "FirstSlice=0",
            "LastSlice=" + std::to_string(s.slices - 1),
            "Width=" + std::to_string(s.width),
            "Height=" + std::to_string(s.height),
            "PixelSize_um=" + Format("%.3f", s.pixelSizeUm),
            "Format=" + s.format,
            "[Calibration]",
            "GreyLow=" + std::to_string(s.calibrationLow),
            "GreyHigh=" + std::to_string(s.calibrationHigh)};
}

std::vector<std::string> DicomLines(const SampleSettings& s)
{
    const double mm = s.pixelSizeUm / 1000.0;
    const double slope = double(s.calibrationHigh - s.calibrationLow) / 255.0;
    return {"(0008,0060) Modality = CT",
            "(0010,0010) PatientName = PHANTOM^SAMPLE",
            "(0018,0050) SliceThickness = " + Format("%.4f", mm),
            "(0028,0010) Rows = " + std::to_string(s.height),
            "(0028,0011) Columns = " + std::to_string(s.width),
            "(0028,0030) PixelSpacing = " + Format("%.4f", mm) + "\\" + Format("%.4f", mm),
            "(0028,1052) RescaleIntercept = " + std::to_string(s.calibrationLow),
            "(0028,1053) RescaleSlope = " + Format("%.4f", slope)};
}

std::vector<std::string> LogLines(const SampleSettings& s)
{
    std::string type = vKit::UpperAscii(s.format);
    return {"[System]",
            "Scanner=kavex-sample synthetic phantom",
            "[Acquisition]",
            "Number of Files=" + std::to_string(s.slices),
            "Image Pixel Size (um)=" + Format("%.3f", s.pixelSizeUm),
            "[Reconstruction]",
            "Result File Prefix=" + s.prefix,
            "First Section=0",
            "Last Section=" + std::to_string(s.slices - 1),
            "Result Image Width (pixels)=" + std::to_string(s.width),
            "Result Image Height (pixels)=" + std::to_string(s.height),
            "Pixel Size (um)=" + Format("%.3f", s.pixelSizeUm),
            "Result File Type=" + type,
            "Reconstruction duration=0"};
}

std::string SliceSuffix(int32_t number, const std::string& extension)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d.", number);
    return digits + extension;
}

} // namespace

SampleResult WriteSampleDataset(const SampleSettings& s)
{
    SampleResult result;
    if (const int32_t err = MakeFolders(s.folder); err != 0)
    {
        result.error = "cannot create " + s.folder + ": " + std::strerror(err);
        return result;
    }
    CWriter writer(s, result);
    CPhantom phantom(s.width, s.height, s.slices);
    std::vector<uint16_t> density(size_t(s.width) * size_t(s.height));
    for (int32_t z = 0; z < s.slices; ++z)
    {
        phantom.RenderSlice(z, density.data());
        if (!writer.WriteImage(SliceSuffix(z, s.format), s.width, s.height, density.data())) return result;
    }
    // Each step stops the sequence at the first failure, which the result then names.
    if (writer.WriteImage("_spr." + s.format, s.width, s.slices, phantom.FrontProjection().data()) &&
        writer.WriteImage("_arc." + s.format, s.height, s.slices, phantom.SideProjection().data()) &&
        writer.WriteText("_cfg.txt", ConfigLines(s)) && writer.WriteText("_dicom.txt", DicomLines(s)))
        writer.WriteText(".log", LogLines(s));
    return result;
}

} // namespace kavex::sample
