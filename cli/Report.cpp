// What kavex-convert prints about a run: the plan of a dry run, the progress line, the failed
// files and the JSON summary.

#include "Base/files/FileUtils.h"
#include "cli/Cli.h"

#include <cmath>

namespace kavex::cli
{

void PrintPlan(std::FILE* out, CDatasetConversion& job, bool markPresent)
{
    job.PrepareLists();
    auto print = [out](vKit::CDataset& list, bool mark)
    {
        for (int32_t i = 0; i < list.GetCount(); ++i)
        {
            const std::string dst = list.GetDestinationName(i);
            const bool present = mark && vKit::FileExists(dst);
            std::fprintf(out, "%s -> %s%s\n", list.GetEntryPath(i).c_str(), dst.c_str(),
                         present ? " (present)" : "");
        }
    };
    print(job.GetCompanions(), false);
    print(job.GetSlices(), markPresent);
}

void PrintFailures(std::FILE* out, const CDatasetConversion& job)
{
    for (const CFailedFile& f : job.GetFailedFiles())
        std::fprintf(out, "kavex-convert: could not %s %s\n", f.action.c_str(), f.path.c_str());
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (u < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        }
        else
            out += c;
    }
    return out + "\"";
}

void PrintJson(std::FILE* out, const CDatasetConversion& job, const RunSummary& summary)
{
    std::string failed;
    for (const CFailedFile& f : job.GetFailedFiles())
        failed += (failed.empty() ? "" : ", ") + JsonString(f.path);
    std::fprintf(out,
                 "{\"outcome\": \"%s\", \"source\": %s, \"destination\": %s, \"files\": %d, \"written\": %d, "
                 "\"skipped\": %d, \"failed\": [%s], \"seconds\": %.3f}\n",
                 summary.cancelled ? "cancelled" : "finished", JsonString(summary.source).c_str(),
                 JsonString(summary.destination).c_str(), job.GetListedCount(), job.GetWrittenCount(),
                 job.GetSkippedCount(), failed.c_str(), summary.seconds);
}

CProgressLine::CProgressLine(vKit::CProgressBase& source, std::FILE* out)
    : m_source(source), m_out(out), m_start(Clock::now()), m_lastDraw(m_start)
{
    m_source.OnProgress.Subscribe(this, &CProgressLine::OnProgress);
}

CProgressLine::~CProgressLine()
{
    m_source.OnProgress.Unsubscribe(this, &CProgressLine::OnProgress);
}

void CProgressLine::OnProgress(vKit::CProgressInfo info)
{
    const Clock::time_point now = Clock::now();
    const int32_t done = info.GetPosition();
    const int32_t total = info.GetMaximum();
    if (done == 0) m_start = now;
    // A redraw per file would cost more than small files do.
    if (m_drawn && now - m_lastDraw < std::chrono::milliseconds(100) && done < total) return;
    m_lastDraw = now;
    m_drawn = true;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double rate = seconds > 0.0 ? done / seconds : 0.0;
    char left[32] = "--:--";
    if (rate > 0.0)
    {
        const long s = std::lround((total - done) / rate);
        std::snprintf(left, sizeof left, "%ld:%02ld", s / 60, s % 60);
    }
    std::fprintf(m_out, "\r%s%d/%d files  %3.0f%%  %.1f files/s  %s left\033[K", m_label.c_str(), done, total,
                 double(info.GetPercent()), rate, left);
    std::fflush(m_out);
}

void CProgressLine::Finish()
{
    if (m_drawn) std::fprintf(m_out, "\r\033[K");
    std::fflush(m_out);
    m_drawn = false;
}

} // namespace kavex::cli
