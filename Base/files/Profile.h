#pragma once
// Profile (INI) files: "[section]" header lines followed by "key=value" lines. Section and key
// names compare without regard to ASCII case; blanks around keys and values are ignored, and a
// value enclosed in a pair of matching quotes loses them. Lines starting with ';' are comments.
// A file is rewritten as a whole (atomic replacement), keeping every line it does not change
// and its line ends; a new file gets "\r\n".

#include <cstdint>
#include <string>

namespace vKit
{

// The value of key in section, or def when there is none; at most maxChars characters.
std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& def, size_t maxChars);

// The value read as a decimal number (leading blanks, sign and digits; 0 when it has no digits),
// or def when the key is missing.
int32_t ReadProfileNumber(const std::string& file, const std::string& section, const std::string& key,
                          int32_t def);

// Writes key=value into section, replacing the key's line or appending it to the section (a new
// section goes to the end of the file). A null key deletes the section with its lines, a null
// value deletes the key's line. Returns false when section is null or the file cannot be written.
bool WriteProfileString(const std::string& file, const char* section, const char* key, const char* value);

} // namespace vKit
