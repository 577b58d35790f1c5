#include "app/FileDialogST.h"

#include "Base/core/Strings.h"

namespace
{
CWindowOps* s_defaultWindow = nullptr;

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size())
    {
        const size_t end = text.find(separator, start);
        if (end == std::string::npos)
        {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}
} // namespace

CFileDialogST::CFileDialogST(bool open, const std::string& defaultExtension, const std::string& fileName,
                             uint32_t flags, const std::string& filter, CWindowOps* parent)
    : m_bOpen(open), m_strDefaultExtension(defaultExtension), m_strFileName(fileName),
      m_nFlags(flags | FlagExplorer), m_strFilter(filter), m_pParent(parent)
{
}

int32_t CFileDialogST::DoModal()
{
    CWindowOps* window = m_pParent != nullptr ? m_pParent : s_defaultWindow;
    if (window == nullptr) return ResultCancel;
    CFileDialogRequest request;
    request.bOpen = m_bOpen;
    request.bMultiple = m_bOpen && (m_nFlags & FlagAllowMultiSelect) != 0;
    request.strTitle = m_strTitle;
    request.strInitialFolder = m_strInitialFolder;
    request.strInitialName = m_strFileName;
    request.strFilter = m_strFilter;
    request.strDefaultExtension = m_strDefaultExtension;
    request.nFilterIndex = m_nFilterIndex;
    request.bConfirmOverwrite = !m_bOpen && (m_nFlags & FlagOverwritePrompt) != 0;
    std::vector<std::string> paths;
    if (!window->FileDialog(request, paths) || paths.empty()) return ResultCancel;
    m_paths = paths;
    return ResultOk;
}

std::string CFileDialogST::GetPathName() const
{
    return m_paths.empty() ? std::string() : m_paths.front();
}

std::string CFileDialogST::GetFileName() const
{
    return vKit::GetPathFileName(GetPathName());
}

std::string CFileDialogST::GetFileTitle() const
{
    return vKit::GetPathTitle(GetFileName());
}

std::string CFileDialogST::GetFileExt() const
{
    return vKit::GetPathExtension(GetFileName());
}

std::string CFileDialogST::GetFolder() const
{
    const std::string path = GetPathName();
    const size_t slash = path.rfind(vKit::PathSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string CFileDialogST::GetNextPathName(int32_t& position) const
{
    if (position < 0 || static_cast<size_t>(position) >= m_paths.size())
    {
        position = -1;
        return "";
    }
    const std::string path = m_paths[static_cast<size_t>(position)];
    ++position;
    if (static_cast<size_t>(position) >= m_paths.size()) position = -1;
    return path;
}

int32_t CFileDialogST::BrowseForFolder(const std::string& title, const std::string& initialFolder, uint32_t,
                                       CWindowOps* parent)
{
    CWindowOps* window = parent != nullptr ? parent : s_defaultWindow;
    if (window == nullptr) return ResultCancel;
    CFileDialogRequest request;
    request.bFolder = true;
    request.strTitle = title;
    request.strInitialFolder = initialFolder;
    std::vector<std::string> paths;
    if (!window->FileDialog(request, paths) || paths.empty() || paths.front().empty()) return ResultCancel;
    m_strFolderPath = paths.front();
    return ResultOk;
}

std::vector<CFilterEntry> CFileDialogST::ParseFilter(const std::string& filter)
{
    std::vector<CFilterEntry> entries;
    std::vector<std::string> parts = Split(filter, '|');
    // The closing bar leaves an empty last piece; a text without patterns is dropped.
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
    {
        if (parts[i].empty() && parts[i + 1].empty()) break;
        CFilterEntry entry;
        entry.strText = parts[i];
        for (const std::string& pattern : Split(parts[i + 1], ';'))
        {
            if (!pattern.empty()) entry.patterns.push_back(pattern);
        }
        if (!entry.patterns.empty()) entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> CFileDialogST::ToNameFilters(const std::string& filter)
{
    std::vector<std::string> filters;
    for (const CFilterEntry& entry : ParseFilter(filter))
    {
        std::string patterns;
        for (const std::string& given : entry.patterns)
        {
            // "*.*" takes every file there, also those without a dot.
            const std::string pattern = given == "*.*" ? "*" : given;
            const std::string upper = vKit::UpperAscii(pattern);
            patterns += (patterns.empty() ? "" : " ") + pattern;
            if (upper != pattern) patterns += " " + upper;
        }
        filters.push_back(entry.strText + " (" + patterns + ")");
    }
    return filters;
}

namespace
{
// "bmp" of "*.bmp" or "bmp"; "" for a pattern with wildcards in its extension.
std::string PatternExtension(const std::string& pattern)
{
    const size_t dot = pattern.rfind('.');
    const std::string ext = dot == std::string::npos ? pattern : pattern.substr(dot + 1);
    return ext.find_first_of("*?") == std::string::npos ? ext : std::string();
}
} // namespace

std::string CFileDialogST::SuffixForFilter(const std::string& filter, int32_t index,
                                           const std::string& defaultExtension)
{
    const std::vector<CFilterEntry> entries = ParseFilter(filter);
    if (index >= 1 && size_t(index) <= entries.size())
    {
        const std::string ext = PatternExtension(entries[size_t(index) - 1].patterns.front());
        if (!ext.empty()) return ext;
    }
    return PatternExtension(defaultExtension);
}

void CFileDialogST::SetDefaultWindow(CWindowOps* window)
{
    s_defaultWindow = window;
}

CWindowOps* CFileDialogST::GetDefaultWindow()
{
    return s_defaultWindow;
}
