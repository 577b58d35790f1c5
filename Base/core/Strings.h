#pragma once
// Byte strings and path pieces. Case-insensitive work maps only the ASCII letters a-z / A-Z;
// every other byte (UTF-8 included) is compared as it is.

#include <cstdint>
#include <string>
#include <string_view>

namespace vKit
{

constexpr char PathSeparator = '/';

inline char ToUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
inline char ToLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// Byte by byte after upper-casing ASCII letters; a string orders before a longer one that it begins.
// Negative, 0 or positive.
int32_t CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view start);
bool EndsWithNoCase(std::string_view text, std::string_view end);
// True for a non-empty text of ASCII digits only.
bool AllDigits(std::string_view text);

// Path pieces, split at the last PathSeparator and the last dot:
//   folder    text before the last separator ("" when there is none)
//   file name text after the last separator (the whole path when there is none)
//   extension text after the last dot of the whole path ("" when there is no dot or it is last);
//             a dot inside a folder name counts, so "/a.b/c" has the extension "b/c"
//   title     the file name up to the last dot when that dot lies in the file name, else all of it
std::string GetPathFolder(std::string_view path);
std::string GetPathFileName(std::string_view path);
std::string GetPathExtension(std::string_view path);
std::string GetPathTitle(std::string_view path);
// The same pieces as views into path, for loops over many names that keep none of them.
std::string_view ViewPathFolder(std::string_view path);
std::string_view ViewPathFileName(std::string_view path);
std::string_view ViewPathExtension(std::string_view path);
std::string_view ViewPathTitle(std::string_view path);

// folder + PathSeparator + name; the name alone when the folder is empty.
std::string JoinPath(std::string_view folder, std::string_view name);
// Drops one trailing separator unless the path is the root itself.
std::string RemoveTrailingSeparator(std::string_view path);

} // namespace vKit
