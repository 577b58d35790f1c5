// The batch loop of kavex-convert: sources resolved and checked first, then run one by one.

#include "cli/Batch.h"

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"
#include "cli/Cli.h"

#include <cstdio>
#include <map>

namespace kavex::cli
{
namespace
{

struct PlannedSource
{
    std::string given;
    std::string path;   // a file of the data set; empty when the source was refused
    std::string error;  // why it was refused
    std::string prefix; // of the data set, when it has slices
};

bool IsFolder(const std::string& path)
{
    vKit::CPlatformStat st;
    return vKit::PlatformStat(path, st) == 0 && st.isDirectory;
}

PlannedSource Resolve(const std::string& given)
{
    PlannedSource p{given, given, {}, {}};
    if (IsFolder(given) && !SliceOfFolder(vKit::RemoveTrailingSeparator(given), p.path, p.error))
        p.path.clear();
    return p;
}

PlannedSource Plan(const std::string& given)
{
    PlannedSource p = Resolve(given);
    vKit::CDataset dataset;
    if (!p.path.empty() && OpenSource(p.path, dataset) > 0) p.prefix = dataset.GetPrefix();
    return p;
}

// With several sources DEST is a folder; a missing one is made, unless its name says "file".
bool CheckFolderDestination(const std::string& dest, std::string& error)
{
    vKit::CPlatformStat st;
    if (vKit::PlatformStat(dest, st) == 0)
    {
        if (st.isDirectory) return true;
        error = "with several sources DEST must be a folder; " + dest + " is a file";
        return false;
    }
    const int32_t format = ConversionPolicy::FormatOfExtension(vKit::GetPathExtension(dest));
    if (dest.find_first_of("?*") != std::string::npos || format != ConversionPolicy::FormatNone)
    {
        error = "with several sources DEST must be a folder, not a data set name: " + dest;
        return false;
    }
    return true;
}

// Two sources of one prefix would write the same destination data set.
bool CheckPrefixes(const std::vector<PlannedSource>& plan, const std::string& dest, std::string& error)
{
    std::map<std::string, const PlannedSource*> seen;
    for (const PlannedSource& p : plan)
    {
        if (p.prefix.empty()) continue;
        const auto [it, fresh] = seen.emplace(p.prefix, &p);
        if (fresh) continue;
        error = "the sources " + it->second->given + " and " + p.given + " would both be written as " +
                vKit::JoinPath(vKit::RemoveTrailingSeparator(dest), p.prefix + "_conv_") +
                "; convert them in separate calls";
        return false;
    }
    return true;
}

void PrintRefused(const Options& options, const std::string& source, int code)
{
    if (options.json)
        std::fprintf(stdout, "{\"outcome\": \"refused\", \"source\": %s, \"exit\": %d}\n",
                     JsonString(source).c_str(), code);
}

// A refused source ran nothing and printed no summary of its own.
int Finish(const Options& options, const std::string& source, int code)
{
    if (code == ExitUsage || code == ExitDestinationExists) PrintRefused(options, source, code);
    return code;
}

int Refuse(const Options& options, const std::string& source, const std::string& message)
{
    std::fprintf(stderr, "kavex-convert: %s\n", message.c_str());
    return Finish(options, source, ExitUsage);
}

// The whole batch refused before anything was written: every source refused.
int RefuseAll(const Options& options, const std::string& message)
{
    std::fprintf(stderr, "kavex-convert: %s\n", message.c_str());
    for (const std::string& source : options.sources)
        PrintRefused(options, source, ExitUsage);
    return ExitUsage;
}

int RunOne(const Options& options)
{
    Options one = options;
    // "out/" names a folder, made when missing, as with several sources.
    one.destinationIsFolder = !options.destination.empty() && options.destination.back() == '/';
    if (options.sources.empty()) return ConvertSource(one, std::string());
    const PlannedSource p = Resolve(options.sources[0]);
    if (p.path.empty()) return Refuse(options, p.given, p.error);
    one.source = p.path;
    return Finish(options, p.given, ConvertSource(one, std::string()));
}

} // namespace

int MoreSerious(int a, int b)
{
    auto rank = [](int code)
    {
        switch (code)
        {
        case ExitDone:
            return 0;
        case ExitSomeFailed:
            return 1;
        case ExitDestinationExists:
            return 2;
        case ExitUsage:
            return 3;
        default: // cancelled, and anything unforeseen
            return 4;
        }
    };
    return rank(b) > rank(a) ? b : a;
}

int RunSources(const Options& options)
{
    if (options.sources.size() <= 1) return RunOne(options);

    std::string error;
    if (!CheckFolderDestination(options.destination, error)) return RefuseAll(options, error);
    std::vector<PlannedSource> plan;
    for (const std::string& given : options.sources)
        plan.push_back(Plan(given));
    if (!CheckPrefixes(plan, options.destination, error)) return RefuseAll(options, error);

    int result = ExitDone;
    const size_t count = plan.size();
    for (size_t i = 0; i < count && !StopRequested(); ++i)
    {
        const PlannedSource& p = plan[i];
        if (p.path.empty())
        {
            result = MoreSerious(result, Refuse(options, p.given, p.error));
            continue;
        }
        Options one = options;
        one.source = p.path;
        one.destinationIsFolder = true;
        const std::string label = "source " + std::to_string(i + 1) + " of " + std::to_string(count) + ": ";
        result = MoreSerious(result, Finish(options, p.given, ConvertSource(one, label)));
        if (result == ExitCancelled) break;
    }
    return StopRequested() ? ExitCancelled : result;
}

} // namespace kavex::cli
