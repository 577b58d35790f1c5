#pragma once
// The texts of a string list, or only the file names they end in, to compare in one expression.

#include "Base/core/StringsLst.h"

#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> ListTexts(const vKit::CStringsLst& list, bool fileNames = false)
{
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        out.push_back(fileNames ? std::filesystem::path(list.GetString(i)).filename().string()
                                : list.GetString(i));
    return out;
}
