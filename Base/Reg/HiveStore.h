#pragma once
// The two hives of the registry, each a file in the folder of GetRegistryFolder(): "user.reg" for
// the current user, "machine.reg" for the local machine. A hive is read on first use and kept in
// memory; it is read again when another process replaced its file. Every change is written at
// once, as a whole, by atomic replacement, under a lock that serialises writers across processes,
// so concurrent writers never tear the file nor lose each other's changes.
// A hive file that does not exist yet holds the key "Software" and nothing else; a file that is
// not a hive (or cannot be read) holds nothing, so writes into it fail instead of replacing it.

#include "Base/Reg/Hive.h"

#include <functional>
#include <string>

namespace vKit
{

enum class ERegRoot
{
    LocalMachine,
    CurrentUser,
};

// ${KAVEX_REGISTRY_DIR:-${XDG_CONFIG_HOME:-$HOME/.config}/Quorell}, without a trailing '/'.
std::string GetRegistryFolder();
std::string GetHivePath(ERegRoot root);

// Calls read with the hive's current content, under the process-wide lock of the hive.
void ReadHive(ERegRoot root, const std::function<void(const CHiveKey&)>& read);

// Read-modify-write: change returns true when it changed the hive and the hive is to be saved,
// false when it left the hive as it was.
// The result is true when the change was made and written; when the file cannot be written the
// change is dropped from memory too.
bool ChangeHive(ERegRoot root, const std::function<bool(CHiveKey&)>& change);

} // namespace vKit
