// kavex-convert: the dialog's conversion from the command line, through the same job.

#include "Base/core/Strings.h"
#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformConsole.h"
#include "cli/Batch.h"
#include "cli/Cli.h"

#include <atomic>
#include <chrono>
#include <cstdio>

using namespace kavex::cli;

namespace
{

std::atomic<bool> g_stopRequested{false};
// Set once a conversion ran: from then on its own outcome says whether it was cancelled.
bool g_converted = false;

int Usage(const std::string& message)
{
    std::fprintf(stderr, "kavex-convert: %s\nTry 'kavex-convert --help'.\n", message.c_str());
    return ExitUsage;
}

int Refuse(const std::string& message)
{
    std::fprintf(stderr, "kavex-convert: %s\n", message.c_str());
    return ExitUsage;
}

// Data sets name files from their folder; a relative path is taken from the current folder.
std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == vKit::PathSeparator) return path;
    return vKit::JoinPath(vKit::PlatformCurrentFolder(), path);
}

void ApplyOptions(const Options& o, const Defaults& d, int32_t shift, CDatasetConversion& job)
{
    job.SetJpgCompression(o.jpegQuality.value_or(d.jpegQuality))
        .SetKeepFileTime(o.keepFileTimes.value_or(d.keepFileTimes))
        .SetGenerateVgi(o.vgi.value_or(d.vgi))
        .SetInvertRawData(o.invertRaw.value_or(d.invertRaw))
        .SetInvertPalette(o.invertPalette.value_or(d.invertPalette))
        .SetResizeFactor(o.resize.value_or(d.resize))
        .SetResizeQuality(o.interpolation.value_or(d.interpolation))
        .SetShift(shift)
        .SetOverwrite(o.overwrite);
}

int RunConversion(const Options& options, CDatasetConversion& job, vKit::CDataset& destination,
                  const std::string& sourceMask, const std::string& label)
{
    // One refusal, instead of one failed file for each file of the run.
    vKit::CStatus why;
    if (!vKit::CreateFolderTree(destination.GetFolder(), &why))
        return Refuse("cannot create the destination folder " + why.GetMessage());
    const bool terminal = vKit::PlatformIsTerminal(2) && !options.quiet;
    job.SetCancelFlag(&g_stopRequested);

    const auto start = std::chrono::steady_clock::now();
    {
        CProgressLine line(job.GetProgress(), stderr);
        line.SetLabel(label);
        if (!terminal) job.GetProgress().OnProgress.Unsubscribe(&line, &CProgressLine::OnProgress);
        job.Convert();
        g_converted = true;
        line.Finish();
    }
    if (job.IsRefused()) return Refuse(job.GetMessage());
    RunSummary summary;
    summary.cancelled = job.GetProgress().GetProgressInfo().IsCancelled();
    summary.source = sourceMask;
    summary.destination = destination.GetMask();
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    PrintFailures(stderr, job);
    if (options.json) PrintJson(stdout, job, summary);
    if (terminal)
        std::fprintf(stderr, "kavex-convert: %s%s, %d of %d files written, %d present, %zu failed, %.1f s\n",
                     label.c_str(), summary.cancelled ? "cancelled" : "finished", job.GetWrittenCount(),
                     job.GetListedCount(), job.GetSkippedCount(), job.GetFailedFiles().size(),
                     summary.seconds);
    if (summary.cancelled) return ExitCancelled;
    return job.GetFailedFiles().empty() ? ExitDone : ExitSomeFailed;
}

} // namespace

namespace kavex::cli
{

bool StopRequested()
{
    return g_stopRequested.load();
}

int ConvertSource(const Options& options, const std::string& label)
{
    // Settings load and the remembered folders are written back, as for the dialog.
    CUserConfig config;
    const Defaults defaults = StoredDefaults();
    if (options.source.empty())
    {
        StoreDefaults(config, options, defaults,
                      options.format ? ConversionPolicy::FormatOfExtension(*options.format) : 0);
        return ExitDone;
    }
    vKit::CDataset source;
    const std::string sourcePath = Absolute(options.source);
    std::vector<vKit::CPlatformDirEntry> listing;
    if (OpenSource(sourcePath, source, &listing) == 0) return Refuse("no slice found for " + options.source);

    vKit::CColorTable sourcePalette;
    int32_t sliceWidth = 0, sliceHeight = 0;
    {
        // Only its palette and size are kept: a large slice's memory is not held through the run.
        vKit::CFileImageBuffer16 firstSlice;
        const bool firstLoaded = firstSlice.LoadFile(source.GetEntryPath(0)) == 0;
        if (options.mode == Mode::Info)
        {
            PrintInfo(stdout, source, firstSlice, firstLoaded);
            return ExitDone;
        }
        // As the dialog, which offers no conversion of a source whose first slice it cannot show.
        if (!firstLoaded) return Refuse("could not read " + firstSlice.GetStatus().GetMessage());
        if (firstSlice.Info().ColorTable().GetCount() == 0)
            return Refuse("could not read " + source.GetEntryPath(0) + ": it has no colour table");
        sourcePalette = firstSlice.Info().AltColorTable();
        sliceWidth = firstSlice.GetWidth();
        sliceHeight = firstSlice.GetHeight();
    }

    Options resolved = options;
    resolved.destination = Absolute(options.destination);
    vKit::CDataset destination;
    std::string error;
    if (!NameDestination(resolved, defaults, source, destination, error)) return Usage(error);
    destination.SetLastNumber(source.GetLastNumber());
    destination.SetFirstNumber(source.GetFirstNumber());

    CDatasetConversion job;
    job.GetSource()->SetDataset(&source);
    job.GetDestination()->SetDataset(&destination);
    job.UpdateDestinationBits();
    job.SetSourcePalette(sourcePalette);
    job.SetSourceSliceSize(sliceWidth, sliceHeight);
    // The run lists the source from the scan just made rather than reading the folder again.
    job.SetSourceListing(source.GetListingMask(), std::move(listing));
    const int32_t shift = ShiftFromOptions(options, source.GetLastNumber(), source.GetFirstNumber());
    const std::string limited =
        LayerLimitNote(options, source.GetLastNumber(), source.GetFirstNumber(), shift);
    if (!limited.empty()) std::fprintf(stderr, "kavex-convert: %s\n", limited.c_str());
    ApplyOptions(options, defaults, shift, job);
    if (options.saveDefaults && !options.dryRun)
        StoreDefaults(config, options, defaults,
                      ConversionPolicy::FormatOfExtension(destination.GetExtension()));
    if (!job.CanConvert()) return Refuse(ExplainRefusal(job.GetMessage()));

    const bool exists = vKit::CDataset::MaskExists(destination.GetMask());
    if (options.dryRun)
    {
        PrintPlan(stdout, job, exists && !options.overwrite);
        return ExitDone;
    }
    if (exists && !options.overwrite && !options.resume)
    {
        std::fprintf(stderr,
                     "The destination data set already exist: %s\n"
                     "Give --overwrite to replace it, or --resume to write only the missing slices.\n",
                     destination.GetMask().c_str());
        return ExitDestinationExists;
    }
    return RunConversion(options, job, destination, source.GetMask(), label);
}

int Main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!ParseArguments(std::vector<std::string>(argv + 1, argv + argc), options, error)) return Usage(error);
    switch (options.mode)
    {
    case Mode::Help:
        std::fputs(HelpText(), stdout);
        return ExitDone;
    case Mode::Version:
        std::printf("%s\n", VersionLine().c_str());
        return ExitDone;
    case Mode::Convert:
    case Mode::Info:
        break;
    }
    return RunSources(options);
}

} // namespace kavex::cli

int main(int argc, char** argv)
{
    // First of all, so that a stop asked for at any moment cancels rather than kills.
    vKit::PlatformCatchStopSignals(&g_stopRequested);
    const int code = Main(argc, argv);
    return g_stopRequested.load() && !g_converted ? int(ExitCancelled) : code;
}
