#pragma once
// Text held in a file buffer, and a string list used as the lines of a text file.

#include "Base/core/StringsLst.h"
#include "Base/files/FileBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

class CTextFileBuffer : public CFileBuffer
{
public:
    CTextFileBuffer() = default;
    // n zero bytes in use, followed by two spare zero bytes.
    explicit CTextFileBuffer(int64_t size);

    // The content up to its first NUL (or to the end of the memory when it holds none).
    virtual std::string GetText() const;
    // Replaces the content with text, in use, followed by two zero bytes.
    virtual void SetText(const std::string& text);
    // The used part split into lines at "\n" or "\r\n"; a last line without an end is kept,
    // the empty remainder after a final line end is not.
    virtual std::vector<std::string> GetLines() const;
};

class CTextFile : public CStringsLst
{
public:
    // Every string as one line ("\r\n", or "\n" with unixLineEnds) written to path, replacing
    // the file in one step. 0 or an errno value.
    int32_t SaveAs(const std::string& path, bool unixLineEnds = false) const;
    // Appends every string as a line to buffer, with the buffer's own line end; false when the
    // buffer could not grow.
    bool AppendLinesTo(CBuffer& buffer) const;
    // Replaces the strings with the lines of the file, in file order. 0 or an errno value; on
    // failure the list is left as it was.
    int32_t LoadFrom(const std::string& path);
};

} // namespace vKit
