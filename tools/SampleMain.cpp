// kavex-sample: writes a synthetic CT data set for trying out and benchmarking the converter.

#include "KavexVersion.h"
#include "tools/SampleWriter.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

const char kHelp[] = R"(Usage: kavex-sample [options] FOLDER

Writes a synthetic CT data set into FOLDER (created when missing): a 3D phantom of
ellipsoids with mild noise as numbered slices, the "_spr" and "_arc" side images,
"_cfg.txt", "_dicom.txt" and a log file. BMP slices carry a falling palette
(255 ... 0) and a calibration pair in their private block, as a scanner writes them.

Options (also after FOLDER):
  --prefix P             file name prefix (default scan)
  --slices N             number of slices, 1..10000 (default 128)
  --size WxH             slice size in pixels (default 512x512)
  --format bmp|tif|jpg   slice format (default bmp)
  --quiet                print nothing on success
  -h, --help             this text
      --version          version
)";

bool ParseInt(const std::string& text, int32_t& value, int32_t low, int32_t high)
{
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

bool ParseSize(const std::string& text, int32_t& width, int32_t& height)
{
    const size_t x = text.find_first_of("xX");
    return x != std::string::npos && ParseInt(text.substr(0, x), width, 1, 16384) &&
           ParseInt(text.substr(x + 1), height, 1, 16384);
}

int Usage(const std::string& message)
{
    std::fprintf(stderr, "kavex-sample: %s\nTry 'kavex-sample --help'.\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    kavex::sample::SampleSettings settings;
    bool quiet = false;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help")
        {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version")
        {
            std::printf("kavex-sample %s\n", KAVEX_VERSION_STRING);
            return 0;
        }
        if (arg == "--quiet")
            quiet = true;
        else if (arg == "--prefix" && hasValue)
            settings.prefix = argv[++i];
        else if (arg == "--slices" && hasValue)
        {
            if (!ParseInt(argv[++i], settings.slices, 1, 10000))
                return Usage("--slices takes a number from 1 to 10000");
        }
        else if (arg == "--size" && hasValue)
        {
            if (!ParseSize(argv[++i], settings.width, settings.height))
                return Usage("--size takes WxH, each from 1 to 16384");
        }
        else if (arg == "--format" && hasValue)
        {
            settings.format = argv[++i];
            if (settings.format != "bmp" && settings.format != "tif" && settings.format != "jpg")
                return Usage("--format takes bmp, tif or jpg");
        }
        else if (arg.size() > 1 && arg[0] == '-')
            return Usage("unknown option or missing value: " + arg);
        else
            operands.push_back(arg);
    }
    if (operands.size() != 1) return Usage("one FOLDER is needed");
    if (settings.prefix.empty() || settings.prefix.find('/') != std::string::npos)
        return Usage("--prefix must be a non-empty file name part");
    settings.folder = operands[0];

    const auto start = std::chrono::steady_clock::now();
    const kavex::sample::SampleResult result = kavex::sample::WriteSampleDataset(settings);
    if (!result.error.empty())
    {
        std::fprintf(stderr, "kavex-sample: %s\n", result.error.c_str());
        return 1;
    }
    if (!quiet)
    {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("kavex-sample: %zu files (%d slices of %dx%d %s, side images, text files, log), "
                    "%.1f MiB in %s in %.2f s\n",
                    result.written.size(), settings.slices, settings.width, settings.height,
                    settings.format.c_str(), double(result.bytes) / (1024.0 * 1024.0),
                    settings.folder.c_str(), seconds);
    }
    return 0;
}
