#pragma once
// What the destination folder held when the run began, read once, so that a destination name it
// did not hold is known to be free without a status call per file. Only an absence is trusted:
// a name that may be there is looked at as before, and a rename that finds the name taken after
// all does not replace it.

#include <string>
#include <unordered_set>

class CDestinationNames
{
public:
    // Reads the names of folder; false (and nothing is known) when it cannot be read.
    bool Read(const std::string& folder);
    void Clear();
    // True when path lies in the folder read and no name there, in any letter case, is its
    // name; the name counts as present from now on, since this run is about to write it.
    bool IsSurelyAbsent(const std::string& path);

private:
    bool m_bRead = false;
    std::string m_strFolder;
    std::unordered_set<std::string> m_names; // upper-cased
};
