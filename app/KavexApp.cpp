#include "app/KavexApp.h"

#include "Base/core/Strings.h"

namespace KavexApp
{

std::string SourcePathFromArguments(const std::vector<std::string>& arguments)
{
    std::string path;
    for (const std::string& word : arguments)
    {
        if (!path.empty()) path += ' ';
        path += word;
    }
    return path;
}

std::string HelpFilePath(const std::string& programPath)
{
    const std::string programFolder = vKit::GetPathFolder(programPath);
    const std::string prefix = vKit::GetPathFolder(programFolder);
    return vKit::JoinPath(vKit::JoinPath(prefix, "share/kavex/help"), HelpTopic);
}

std::string HelpViewerMissing(const std::string& path)
{
    return "No program could be started to show the help page. Open it in a web browser:\n" + path;
}

} // namespace KavexApp
