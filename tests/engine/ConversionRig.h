#pragma once
// A small BMP data set written into a scratch folder, and a job wired to it the way the dialog
// wires its own: the data sets belong to the rig, the job only borrows them.

#include "Base/formats/FileImageBuffer16.h"
#include "base/ScratchFolder.h"
#include "engine/DatasetConversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

using Names = std::vector<std::string>;

// Every sample of slice n is SliceValue(n) in the high byte, so a destination shows its source.
inline uint8_t SliceValue(int32_t n)
{
    return uint8_t(10 + n % 240);
}

inline std::string SliceName(const std::string& folder, const std::string& prefix, int32_t n,
                             const std::string& extension = "bmp")
{
    return folder + "/" + prefix + std::to_string(10000 + n).substr(1) + "." + extension; // n below 10000
}

inline void WriteImage(const std::string& path, int32_t width, int32_t height,
                       const std::vector<uint8_t>& rowValues)
{
    vKit::CFileImageBuffer16 image;
    ASSERT_TRUE(image.Create(width, height, 32));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            *image.PixelPtr(x, y) = uint16_t(rowValues[size_t(y) % rowValues.size()] << 8);
    ASSERT_EQ(image.SaveFile(path), 0) << path;
}

// Every file of a folder (hidden ones too, not folders) by name, with its bytes.
inline std::map<std::string, std::string> Contents(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (!e.is_directory()) files[e.path().filename().string()] = CScratchFolder::Read(e.path().string());
    return files;
}

// High bytes of the samples row by row; empty when the file does not load.
inline std::vector<uint8_t> Rows(const std::string& path)
{
    vKit::CFileImageBuffer16 image;
    if (image.LoadFile(path) != 0) return {};
    std::vector<uint8_t> rows;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        rows.push_back(uint8_t(*image.PixelPtr(0, y) >> 8));
    return rows;
}

class CConversionRig
{
public:
    static constexpr int32_t kWidth = 7, kHeight = 5; // rows of 7 carry padding

    // Slices first .. first + count - 1 of prefix, a "_spr" side image whose row r holds r + 1,
    // "_cfg.txt", "_dicom.txt" and the log.
    void WriteSource(const std::string& prefix, int32_t first, int32_t count)
    {
        for (int32_t n = first; n < first + count; ++n)
            WriteImage(SliceName(m_scratch.Path(), prefix, n), kWidth, kHeight, {SliceValue(n)});
        WriteImage(m_scratch.Path(prefix + "_spr.bmp"), kWidth, 12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        m_scratch.Write(prefix + "_cfg.txt", "[Reconstruction]\r\nPrefix=" + prefix + "\r\n");
        m_scratch.Write(prefix + "_dicom.txt", "(0008,0060) Modality = CT\r\n");
        m_scratch.Write(prefix + ".log", "[System]\r\nlog of " + prefix + "\r\n");
    }

    // Opens the source from any of its files and names the destination from a mask or file name.
    void Wire(const std::string& sourceFile, const std::string& destination)
    {
        m_source.Init();
        m_source.SetSlicesOnly(true);
        m_source.Open(sourceFile);
        m_destination.Init();
        m_destination.SetFileName(destination);
        m_destination.SetOpened(true);
        m_job.GetSource()->SetDataset(&m_source);
        m_job.GetDestination()->SetDataset(&m_destination);
        m_job.UpdateDestinationBits();
    }

    // A source, and the job from its first slice into the new folder "out" under mask; the folder.
    std::string Start(const std::string& prefix, int32_t first, int32_t count,
                      const std::string& mask = "q????.bmp")
    {
        WriteSource(prefix, first, count);
        Wire(SliceName(m_scratch.Path(), prefix, first), Folder("out") + "/" + mask);
        return Path("out");
    }

    std::string Path(const std::string& name) const { return m_scratch.Path(name); }
    std::string Folder(const std::string& name) const { return m_scratch.Folder(name); }
    const CScratchFolder& Scratch() const { return m_scratch; }
    CDatasetConversion& Job() { return m_job; }

    Names Written()
    {
        Names names;
        vKit::CFiles& files = m_job.GetWrittenFiles();
        for (int32_t i = 0; i < files.GetCount(); ++i)
            names.push_back(files.GetString(i));
        return names;
    }

    Names FailedPaths() const
    {
        Names paths;
        for (const CFailedFile& f : m_job.GetFailedFiles())
            paths.push_back(f.action + " " + f.path);
        return paths;
    }

private:
    CScratchFolder m_scratch;
    vKit::CDataset m_source;
    vKit::CDataset m_destination;
    CDatasetConversion m_job;
};

// Rows of slice n of a rig source, as Rows reads them.
inline std::vector<uint8_t> SliceRows(int32_t n)
{
    return std::vector<uint8_t>(CConversionRig::kHeight, SliceValue(n));
}

// Calls a function from a progress event, the way the dialog's handler runs, and keeps the last
// information it saw.
class CProgressProbe
{
public:
    CProgressProbe(vKit::CProgressBase& source, std::function<void(const vKit::CProgressInfo&)> f = {})
        : m_source(source), m_f(std::move(f))
    {
        m_source.OnProgress.Subscribe(this, &CProgressProbe::On);
    }
    ~CProgressProbe() { m_source.OnProgress.Unsubscribe(this, &CProgressProbe::On); }
    CProgressProbe(const CProgressProbe&) = delete;
    CProgressProbe& operator=(const CProgressProbe&) = delete;
    void On(vKit::CProgressInfo info)
    {
        m_last = info;
        if (m_f) m_f(info);
    }
    vKit::CProgressInfo m_last;

private:
    vKit::CProgressBase& m_source;
    std::function<void(const vKit::CProgressInfo&)> m_f;
};

// For a probe: requests the job's cancel when its run reaches file position (companions first).
inline std::function<void(const vKit::CProgressInfo&)> CancelAt(CDatasetConversion& job, int32_t position)
{
    return [&job, position](const vKit::CProgressInfo& info)
    {
        if (info.GetMaximum() == job.GetListedCount() && info.GetPosition() == position && !info.IsFinished())
            job.GetProgress().SetCancelRequested(true);
    };
}
