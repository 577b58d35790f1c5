#include "app/KavexApp.h"

#include "Base/core/Strings.h"

#include <string_view>

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
    // The documentation folder relative to the program's folder, "../share/doc/kavex" by default.
    std::string_view relative = KAVEX_DOC_FROM_BIN;
    std::string folder = vKit::GetPathFolder(programPath);
    while (relative.substr(0, 3) == "../")
    {
        folder = vKit::GetPathFolder(folder);
        relative.remove_prefix(3);
    }
    return vKit::JoinPath(vKit::JoinPath(folder, std::string(relative) + "/help"), HelpTopic);
}

const char* CommandLineHelp()
{
    return R"(Usage: kavex [PATH]

Kavex converts and resizes tomographic (CT) data sets in one dialog window: pick
the source data set, the destination folder, prefix and format (BMP, TIFF or JPEG),
set the options (reduction, interpolation, shift, inversion, JPEG quality, file
times, .vgi description) and start the conversion.

PATH, any file of a data set (slice, side image, _cfg.txt, _dicom.txt, log), is
opened as the source at start; the words of a path with spaces are joined.

Options:
  -h, --help     this text
      --version  version
Both are options only as the one argument; otherwise the words name PATH.

The user's settings live in ~/.config/Quorell/user.reg ($XDG_CONFIG_HOME replaces
~/.config, $KAVEX_REGISTRY_DIR the whole folder); kavex-convert shares them. F1
opens the help pages, installed in share/doc/kavex/help beside the bin folder.
)";
}

} // namespace KavexApp
