#pragma once
// Writes a complete synthetic data set as a scanner leaves it: numbered slices, the "_spr" and
// "_arc" side images, "_cfg.txt", "_dicom.txt" and the log file.

#include <cstdint>
#include <string>
#include <vector>

namespace kavex::sample
{

struct SampleSettings
{
    std::string folder;
    std::string prefix = "scan";
    int32_t slices = 128;
    int32_t width = 512;
    int32_t height = 512;
    std::string format = "bmp"; // bmp, tif or jpg
    double pixelSizeUm = 25.0;
    // Calibration pair stored in the private block of BMP slices (grey 0 and grey 255).
    int32_t calibrationLow = -1000;
    int32_t calibrationHigh = 3000;
};

struct SampleResult
{
    std::vector<std::string> written; // every file, in the order written
    uint64_t bytes = 0;
    std::string error; // empty on success
};

SampleResult WriteSampleDataset(const SampleSettings& settings);

} // namespace kavex::sample
