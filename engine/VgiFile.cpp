// The .vgi volume description: every written slice as one file section, positions 0, 1, 2, ...
// in handling order whatever gaps the slice numbers have. Every line, the last one included,
// ends with CR LF.

#include "Base/core/Strings.h"
#include "Base/files/TextFile.h"
#include "engine/DatasetConversion.h"

namespace
{

void AddFileSection(vKit::CTextFile& lines, int32_t k, const std::string& format, const std::string& path)
{
    lines.Append("[file" + std::to_string(k + 1) + "]");
    if (!format.empty()) lines.Append("FileFormat = " + format);
    lines.Append("Name = " + path);
    lines.Append("Position = 0 0 " + std::to_string(k));
    lines.Append("Datatype = unsigned integer");
    lines.Append("BitsPerElement = 8");
    lines.Append("");
}

} // namespace

void CDatasetConversion::WriteVgiFile()
{
    vKit::CDataset& destination = *GetDestination()->GetDataset();
    const std::string extension = vKit::LowerAscii(destination.GetExtension());
    const std::string format = extension == "bmp" ? "bmp" : extension == "jpg" ? "jpeg" : "";

    vKit::CTextFile lines;
    for (const char* line :
         {"{volume1}", "[representation]", "datatype = unsigned integer", "bitsperelement = 8", ""})
        lines.Append(line);
    int32_t k = 0;
    for (int32_t i = 0; i < m_writtenFiles.GetCount(); ++i)
    {
        const std::string path = m_writtenFiles.GetString(i);
        if (destination.IsSliceFile(path, false)) AddFileSection(lines, k++, format, path);
    }
    for (const char* line : {"{volumeprimitive1}", "[volume]", "volume = volume1", "", "[description]"})
        lines.Append(line);
    lines.Append("text = " + destination.GetPrefix());
    for (const char* line : {"", "[geometry]", "scale = 1 1 1"})
        lines.Append(line);

    vKit::CTextFileBuffer text;
    for (int32_t i = 0; i < lines.GetCount(); ++i)
        text.AppendLine(lines.GetString(i));
    text.SaveAs(destination.GetFolder() + vKit::PathSeparator + destination.GetPrefix() + ".vgi");
}
