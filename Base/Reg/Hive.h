#pragma once
// A registry hive held in memory: a tree of keys with typed values, and its text form, the
// registry editor's export format:
//
//   REGEDIT4
//
//   [Software\Quorell\Kavex\Settings]
//   "JPGCompression"=dword:00000021
//   "TempFolder"="/tmp"
//   "Block"=hex:01,02
//
// Key paths in the file are relative to the hive's root. Key and value names compare without
// regard to ASCII case; sub-keys are kept in that alphabetical order, values in insertion order.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vKit
{

// Value types, numbered as the registry numbers them.
enum : uint32_t
{
    kRegTypeString = 1,
    kRegTypeBinary = 3,
    kRegTypeNumber = 4,
};

struct CHiveValue
{
    std::string name; // empty: the key's default value, "@" in the text form
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

class CHiveKey
{
public:
    explicit CHiveKey(std::string name = std::string()) : m_name(std::move(name)) {}
    CHiveKey(const CHiveKey&) = delete;
    CHiveKey& operator=(const CHiveKey&) = delete;

    const std::string& GetName() const { return m_name; }

    CHiveKey* FindKey(const std::string& name);
    const CHiveKey* FindKey(const std::string& name) const;
    // The sub-key of that name, created when missing.
    CHiveKey& CreateKey(const std::string& name);
    // Removes the sub-key with everything below it; false when there is none.
    bool RemoveKey(const std::string& name);
    size_t GetKeyCount() const { return m_keys.size(); }
    // The index-th sub-key in alphabetical order, or null.
    const CHiveKey* GetKeyAt(size_t index) const;

    const CHiveValue* FindValue(const std::string& name) const;
    void SetValue(const std::string& name, uint32_t type, std::vector<uint8_t> data);
    bool RemoveValue(const std::string& name);
    const std::vector<CHiveValue>& GetValues() const { return m_values; }

    // Removes all sub-keys and values.
    void Clear();

    // A path of names below this key; null when one of them is missing.
    CHiveKey* FindPath(const std::vector<std::string>& path);
    const CHiveKey* FindPath(const std::vector<std::string>& path) const;
    CHiveKey& CreatePath(const std::vector<std::string>& path);

private:
    std::string m_name;
    std::map<std::string, std::unique_ptr<CHiveKey>> m_keys; // by upper-cased name
    std::vector<CHiveValue> m_values;
};

// Splits a key path at its backslashes; empty pieces ("a\\b", a trailing "\") are dropped.
std::vector<std::string> SplitKeyPath(const std::string& path);

// Replaces the contents of root with the hive in text. A text without the format's header line
// is not a hive: root is left empty and the result is false.
bool ParseHiveText(const std::string& text, CHiveKey& root);

// The text form of the hive: header, then every key depth-first, each followed by its values.
std::string FormatHiveText(const CHiveKey& root);

} // namespace vKit
