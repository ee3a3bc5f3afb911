// Where the component registry lives and how it is read and changed.
//
// Readers consult $VELMORA_REGISTRY alone when it is set; otherwise the user's file
// ($XDG_CONFIG_HOME/velmora/registry, by default ~/.config/velmora/registry) and then the
// installation's (lib/velmora/registry beside the program's folder, with the modules it lists),
// the user's keys winning.
// Writers change the first of those that is set or exists, else the user's. A change is
// made under an exclusive lock and written to a new file that then replaces the old one, so
// that concurrent registrations do not lose each other's keys and a failed write leaves the
// old file whole.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "com/Hresult.h"
#include "com/Registry.h"

namespace com {

std::vector<std::string> RegistryPathsForReading();
std::string RegistryPathForWriting();

// Reads one registry file. A missing file is an empty registry; REGDB_E_READREGDB when the
// file cannot be read or is malformed (`error` says why).
HRESULT LoadRegistryFile(const std::string& path, Registry* registry, std::string* error = nullptr);

// Looks a value up through the reading order; REGDB_E_READREGDB when a file is unreadable,
// S_FALSE when no file holds the value.
HRESULT ReadRegistryValue(const std::string& key, const std::string& name, std::string* value);

// Loads the file at `path`, lets `change` edit it and writes it back when `change` succeeds.
// REGDB_E_WRITEREGDB when the file is malformed or cannot be written (the old file stays).
HRESULT UpdateRegistryFile(const std::string& path, const std::function<HRESULT(Registry&)>& change,
                           std::string* error = nullptr);

}  // namespace com
