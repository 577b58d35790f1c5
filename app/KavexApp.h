#pragma once
// Start-up facts of the program that need no window toolkit: the path handed over on the command
// line, the private drag format the drop target refuses, and where the help page lives.

#include <string>
#include <vector>

namespace KavexApp
{

// Drags that carry this format come from the program's own windows and are refused.
inline constexpr const char* PrivateDragFormat = "Dravolinte_3BCFE9D1_6D61_4cb6_9D0B_3BB3F643CA82";
inline constexpr const char* HelpTopic = "Main.htm";

// The command line names at most one path: its words joined by single spaces, so that a path
// with spaces that was not quoted still arrives whole. "" when there are none.
std::string SourcePathFromArguments(const std::vector<std::string>& arguments);

// The help page: "<program folder>/../share/doc/kavex/help/Main.htm", where the build and the
// installation put it, so that a moved installation still finds it. programPath is the running
// executable.
std::string HelpFilePath(const std::string& programPath);

// What "kavex --help" prints.
const char* CommandLineHelp();

} // namespace KavexApp
