#pragma once
// Plain registry functions over the maker's key: a value lives at
//   root \ "Software" \ "Quorell" \ application \ section, value name.
// "Software" must exist and is never created; the maker's, application and section keys are
// created on writes and only opened on reads. Numbers are 32-bit values (4 bytes), texts are
// stored with their terminating zero, blocks as binary. A value of another type than asked (or a
// number that is not 4 bytes) reads as missing.
// RegLocalMachine and RegCurrentUser differ only in their root.

#include "Base/Reg/HiveStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vKit
{

// An open key: its root and the names from the root down to it.
struct CRegKey
{
    ERegRoot root = ERegRoot::CurrentUser;
    std::vector<std::string> path;
};

class CRegistry
{
public:
    explicit constexpr CRegistry(ERegRoot root) : m_root(root) {}

    std::optional<CRegKey> CreateAppKey(const char* application) const;
    std::optional<CRegKey> CreateSectionKey(const char* application, const char* section) const;
    std::optional<CRegKey> OpenAppKey(const char* application) const;
    std::optional<CRegKey> OpenSectionKey(const char* application, const char* section) const;

    bool WriteNumber(const char* application, const char* section, const char* name, int32_t value) const;
    // A null name deletes the whole section key; a null text deletes the value.
    bool WriteString(const char* application, const char* section, const char* name, const char* text) const;
    // The same deletion rules, with null data for a null text.
    bool WriteBinary(const char* application, const char* section, const char* name, const void* data,
                     uint32_t size) const;

    int32_t ReadNumber(const char* application, const char* section, const char* name, int32_t def) const;
    // The buffer holds size + 1 bytes and is cleared first. Copies the stored text, or else the
    // default, cut to size characters, and returns the length copied. Without a buffer it returns
    // the stored size in bytes (terminating zero included).
    int32_t ReadString(const char* application, const char* section, const char* name, const char* def,
                       char* buffer, int32_t size) const;
    // Bytes copied (at most size), 0 when absent; without a buffer the stored size.
    int32_t ReadBinary(const char* application, const char* section, const char* name, void* buffer,
                       int32_t size) const;

    // Names the index-th sub-key (alphabetical order) of the application key in a buffer of size
    // bytes; a name too long for it is cut and still counts as success.
    bool EnumAppSubKey(const char* application, int32_t index, char* name, int32_t size) const;

private:
    ERegRoot m_root;
};

inline constexpr CRegistry RegLocalMachine{ERegRoot::LocalMachine};
inline constexpr CRegistry RegCurrentUser{ERegRoot::CurrentUser};

} // namespace vKit
