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

namespace
{

// Length of the well-formed UTF-8 sequence at text[i] (1 to 4), or 0 when the bytes there are
// not one: a stray continuation byte, a truncated sequence, an overlong form, a surrogate or a
// code point above U+10FFFF.
size_t Utf8Length(const std::string& text, size_t i)
{
    const auto at = [&text](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    const unsigned lead = at(i);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    else
        return 0;
    if (at(i + 1) < low || at(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
    return length;
}

} // namespace

// File names are bytes; a byte that is not part of well-formed UTF-8 becomes U+FFFD, so that the
// output is always valid JSON.
std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size();)
    {
        const char c = text[i];
        const unsigned char u = static_cast<unsigned char>(c);
        const size_t length = Utf8Length(text, i);
        if (length == 0)
        {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (u < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        }
        else
            out.append(text, i, length);
        i += length;
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
