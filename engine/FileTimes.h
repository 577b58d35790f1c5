#pragma once
// Creation, last-access and last-write times of one file, carried from a source image to the
// image written from it ("Keep original file date and time"). Times are FILETIME values
// (100 ns since 1601-01-01 UTC). Linux cannot set a creation time; it is read, kept and left.

#include <cstdint>
#include <string>

struct CFileTimes
{
    uint8_t m_bForce = 1; // clear the attributes while setting the times
    uint8_t m_bAllowHidden = 0;
    uint8_t m_bAllowSystem = 0;
    uint8_t m_bAllowReadOnly = 0;
    uint8_t m_bAllowCompressed = 0;
    uint8_t m_bAllowEncrypted = 0;
    uint64_t m_ftCreation = 0;
    uint64_t m_ftLastWrite = 0;
    uint64_t m_ftLastAccess = 0;

    // 0 success, 1 the file could not be opened, 2 its times could not be read.
    int32_t ReadTimes(const std::string& path);
    // 0 success or skipped by the attribute rules, 1 the file could not be opened, 2 the times
    // could not be set.
    int32_t WriteTimes(const std::string& path) const;
};
