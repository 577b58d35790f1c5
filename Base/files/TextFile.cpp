#include "Base/files/TextFile.h"

#include <cerrno>
#include <cstring>
#include <mutex>

namespace vKit
{

namespace
{
using Guard = std::lock_guard<std::recursive_mutex>;

// Appending line by line would otherwise reallocate for every line.
constexpr int64_t kTextGrowStep = 4096;
} // namespace

// ---- CTextFileBuffer --------------------------------------------------------------------------

CTextFileBuffer::CTextFileBuffer(int64_t size)
{
    if (size < 0) size = 0;
    Allocate(size + 2, 0);
    Fill(0);
    SetUsed(size);
}

std::string CTextFileBuffer::GetText() const
{
    Guard g(GetLock());
    const char* text = reinterpret_cast<const char*>(GetData());
    if (!text) return std::string();
    return std::string(text, strnlen(text, static_cast<size_t>(GetSize())));
}

void CTextFileBuffer::SetText(const std::string& text)
{
    Guard g(GetLock());
    const int64_t length = static_cast<int64_t>(text.size());
    if (!Allocate(length + 2, 0)) return;
    Fill(0);
    std::memcpy(GetData(), text.data(), text.size());
    SetUsed(length);
}

std::vector<std::string> CTextFileBuffer::GetLines() const
{
    Guard g(GetLock());
    std::vector<std::string> lines;
    const char* p = reinterpret_cast<const char*>(GetData());
    const char* end = p ? p + GetUsed() : p;
    while (p < end)
    {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = eol ? eol : end;
        const char* cut = (eol && stop > p && stop[-1] == '\r') ? stop - 1 : stop;
        lines.emplace_back(p, cut);
        p = eol ? eol + 1 : end;
    }
    return lines;
}

// ---- CTextFile --------------------------------------------------------------------------------

bool CTextFile::AppendLinesTo(CBuffer& buffer) const
{
    for (int32_t i = 0; i < GetCount(); ++i)
        if (!buffer.AppendLine(GetString(i))) return false;
    return true;
}

int32_t CTextFile::SaveAs(const std::string& path, bool unixLineEnds) const
{
    CTextFileBuffer buffer;
    buffer.SetGrowStep(kTextGrowStep);
    buffer.SetUnixLineEnds(unixLineEnds);
    if (!AppendLinesTo(buffer)) return ENOMEM;
    return buffer.SaveAs(path);
}

int32_t CTextFile::LoadFrom(const std::string& path)
{
    CTextFileBuffer buffer;
    const int32_t err = buffer.LoadFrom(path);
    if (err != 0) return err;
    RemoveAll();
    for (const std::string& line : buffer.GetLines())
        Append(line);
    return 0;
}

} // namespace vKit
