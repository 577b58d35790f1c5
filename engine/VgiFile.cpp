// The .vgi volume description: every slice of the destination data set present at the end of
// the run, written by it or before (a resumed run), as one file section in slice order,
// positions 0, 1, 2, ... whatever gaps the slice numbers have. Every line, the last one
// included, ends with CR LF. A description that cannot be written is a failed file.

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
    vKit::CDataset present;
    present.SetSlicesOnly(true);
    present.Open(destination.GetMask());
    for (int32_t k = 0; k < present.GetCount(); ++k)
        AddFileSection(lines, k, format, present.GetEntryPath(k));
    for (const char* line : {"{volumeprimitive1}", "[volume]", "volume = volume1", "", "[description]"})
        lines.Append(line);
    lines.Append("text = " + destination.GetPrefix());
    for (const char* line : {"", "[geometry]", "scale = 1 1 1"})
        lines.Append(line);

    vKit::CTextFileBuffer text;
    for (int32_t i = 0; i < lines.GetCount(); ++i)
        text.AppendLine(lines.GetString(i));
    const std::string path = destination.GetFolder() + vKit::PathSeparator + destination.GetPrefix() + ".vgi";
    if (const int32_t err = text.SaveAs(path)) Fail(path, "write", err);
}
