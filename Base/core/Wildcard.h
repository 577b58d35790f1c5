#pragma once
// File name matching with the rules of Windows directory scans:
// - case-insensitive for the ASCII letters;
// - "*" matches any run of characters; "*" directly followed by "." cannot swallow the last dot of the
//   name, so "*.bmp" needs a real ".bmp" ending and "*.*" matches every name, dotted or not;
// - "?" matches one character other than a dot, or nothing directly before a dot or at the end of the
//   name, so "p????.bmp" matches "p12.bmp";
// - "." directly followed by "?", "*" or the end of the mask also matches the end of the name, so
//   "*." matches the names without a dot.

#include <string>
#include <string_view>
#include <vector>

namespace vKit
{

bool WildcardMatch(std::string_view mask, std::string_view name);
bool HasWildcards(std::string_view mask);

// One mask prepared once for the many names of a folder: Matches(name) == WildcardMatch(mask, name).
class CWildcardMask
{
public:
    explicit CWildcardMask(std::string_view mask);
    bool Matches(std::string_view name) const;

    struct SToken
    {
        unsigned char kind;
        char upper;
    };

private:
    std::string m_strMask;
    bool m_bLiteral = false;
    bool m_bLiteralThenStar = false; // "prefix*": the names that begin with the prefix
    std::vector<SToken> m_tokens;
};

} // namespace vKit
