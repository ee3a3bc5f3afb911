// Run-time loading of a shared library by the name the system gives it ("Padwick.dll").
//
// `Library` owns one handle of the dynamic loader and frees it on destruction; pointers
// returned by `Symbol` are valid only while the library stays loaded. The Windows form of a
// name maps to the Linux one ("Padwick.dll" -> "libpadwick.so"), looked for first in the lib/
// folder beside the running program and then on the loader's usual path.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// "Padwick.dll" -> "libpadwick.so"; a name that already ends in ".so" is kept as it is.
std::string SharedLibraryFileName(std::string_view name);

// The folder of the running program (from /proc/self/exe), without a trailing separator;
// empty when it cannot be read.
std::string ProgramFolder();

class Library {
  public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    Library(Library&& other) noexcept;
    Library& operator=(Library&& other) noexcept;

    // Loads `name` (see above); false when it is found nowhere or does not load. A library
    // already held is freed first.
    bool Load(std::string_view name);
    bool IsLoaded() const { return m_handle != nullptr; }

    // The address of the exported `name`; nullptr when the library lacks it or is not loaded.
    void* Symbol(const char* name) const;

    // What the loader said about the last failure of Load.
    const std::string& LastError() const { return m_lastError; }

    void Free();

  private:
    void* m_handle = nullptr;
    std::string m_lastError;
};

}  // namespace platform
