#pragma once
// The About box's version line, from the version the build compiled into the program.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

using CVersionParts = std::array<int32_t, 4>;

// "Kavex v<major>.<minor> release <patch> built <tweak>"; every part reads "Unknown" when the
// version is not known.
std::string MakeVersionLine(const std::optional<CVersionParts>& version);

// The program's own version, from the build.
CVersionParts ProgramVersion();
std::string ProgramVersionLine();
