#include "app/Version.h"

#include "KavexVersion.h"

std::string MakeVersionLine(const std::optional<CVersionParts>& version)
{
    if (!version) return "Kavex vUnknown.Unknown release Unknown built Unknown";
    const CVersionParts& v = *version;
    return "Kavex v" + std::to_string(v[0]) + "." + std::to_string(v[1]) + " release " +
           std::to_string(v[2]) + " built " + std::to_string(v[3]);
}

CVersionParts ProgramVersion()
{
    return {KAVEX_VERSION_MAJOR, KAVEX_VERSION_MINOR, KAVEX_VERSION_PATCH, KAVEX_VERSION_TWEAK + 0};
}

std::string ProgramVersionLine()
{
    return MakeVersionLine(ProgramVersion());
}
