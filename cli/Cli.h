#pragma once
// The pieces of kavex-convert behind main: opening the source and naming the destination as the
// dialog does, describing a data set, the progress line and the reports at the end.

#include "Base/dataset/Dataset.h"
#include "Base/formats/FileImageBuffer16.h"
#include "app/ConversionPolicy.h"
#include "app/UserSettings.h"
#include "cli/Options.h"
#include "engine/DatasetConversion.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kavex::cli
{

enum ExitCode
{
    ExitDone = 0,
    ExitSomeFailed = 1,
    ExitUsage = 2,
    ExitDestinationExists = 3,
    ExitCancelled = 130,
};

// The options that the dialog keeps as the user's defaults.
using Defaults = ConversionPolicy::SDefaults;

// The defaults in the shared settings record of a live CUserConfig (built-in ones without it).
Defaults StoredDefaults();
// The dialog's "Save as default": the options in force (given ones over the current defaults)
// and, when not 0, the format value are written to the user's settings.
void StoreDefaults(CUserConfig& config, const Options& options, const Defaults& current, int32_t extension);

// Opens the data set of any of its files (slices only). For a text or log file the slices are
// looked for as bmp, tif and jpg in turn. Returns the number of slices; listing, when given,
// receives the scan of the source's mask they were listed from.
int32_t OpenSource(const std::string& path, vKit::CDataset& source,
                   std::vector<vKit::CPlatformDirEntry>* listing = nullptr);

// Names the destination from DEST: a file name or mask of the data set, or an existing folder
// (source prefix + "_conv_", extension from the defaults). format replaces the extension.
// False with a reason when the destination has no image extension.
bool NameDestination(const Options& options, const Defaults& defaults, const vKit::CDataset& source,
                     vKit::CDataset& destination, std::string& error);

// The dialog's layer rule applied to --shift, --top or --bottom.
int32_t ShiftFromOptions(const Options& options, int32_t last, int32_t first);
// What the user is told when the rule changed the layer value given: "" when it did not.
std::string LayerLimitNote(const Options& options, int32_t last, int32_t first, int32_t shift);

// key: value lines about the data set and its first slice; one that did not load gives its
// size as "unreadable (REASON)".
void PrintInfo(std::FILE* out, vKit::CDataset& source, const vKit::CFileImageBuffer16& firstSlice,
               bool loaded);

// Every source -> destination pair the job would handle, in its order.
void PrintPlan(std::FILE* out, CDatasetConversion& job, bool markPresent);

struct RunSummary
{
    bool cancelled = false;
    std::string source; // masks
    std::string destination;
    double seconds = 0.0;
};
void PrintJson(std::FILE* out, const CDatasetConversion& job, const RunSummary& summary);
// "could not read PATH: REASON", one line per failed file.
void PrintFailures(std::FILE* out, const CDatasetConversion& job);
// The job's refusal text, unchanged, followed by what it means for the command line.
std::string ExplainRefusal(const std::string& text);
std::string JsonString(const std::string& text);

// Files done / total, percent, files per second and time left, redrawn on one terminal line.
class CProgressLine
{
public:
    CProgressLine(vKit::CProgressBase& source, std::FILE* out);
    ~CProgressLine();
    CProgressLine(const CProgressLine&) = delete;
    CProgressLine& operator=(const CProgressLine&) = delete;

    void SetLabel(const std::string& label) { m_label = label; } // heads the line
    void OnProgress(vKit::CProgressInfo info);
    void Finish(); // clears the line

private:
    using Clock = std::chrono::steady_clock;
    vKit::CProgressBase& m_source;
    std::FILE* m_out;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
    bool m_drawn = false;
    std::string m_label;
};

} // namespace kavex::cli
