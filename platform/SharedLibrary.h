// Run-time loading of shared libraries (dlopen/dlsym).
//
// `SharedLibrary` owns one loaded library and unloads it on destruction (or Close()); symbols
// taken from it are valid only while it is open. A library is opened by path, or by the name
// the system gives it ("Padwick.dll"), which maps to the Linux file name ("libpadwick.so")
// looked for first in the lib/ folder of the running program's installation, then on the
// loader's path. `ProgramFolder` tells where the running program lies, `InstallationFolder`
// which tree it belongs to.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class SharedLibrary {
  public:
    SharedLibrary() = default;
    ~SharedLibrary() { Close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // Loads `path` with every symbol resolved now and kept local to it. False when it cannot be
    // loaded; `error` (and LastError) then receive the loader's reason. In a program that
    // removes its partial files on signals, a library with files of its own joins in
    // (PartialFiles.h) and then stays loaded until the program ends.
    bool Open(const std::string& path, std::string* error = nullptr);
    // Loads the library the system calls `name` (see above). False when it is found nowhere
    // or does not load.
    bool OpenByName(std::string_view name);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }

    // The address of the exported symbol `name`, or nullptr when there is none.
    void* Symbol(const char* name) const;

    // The exported function `name` as a pointer of type `Function*`, or nullptr.
    template <class Function>
    Function* Get(const char* name) const {
        return reinterpret_cast<Function*>(Symbol(name));
    }

    // What the loader said about the last failed open.
    const std::string& LastError() const { return m_lastError; }

  private:
    void JoinPartialFileRemoval(const std::string& path);

    void* m_handle = nullptr;
    std::string m_lastError;
};

// "Padwick.dll" -> "libpadwick.so"; a name that already ends in ".so" is kept as it is.
std::string SharedLibraryFileName(std::string_view name);

// The folder holding the running program's executable, without a trailing separator;
// empty when the system cannot tell.
std::string ProgramFolder();

// Where the desktop program's own outside programs (converters, their helpers, the cleaning
// scripts) are installed, below an installation's folder: only it looks there, so they never
// shadow the system's programs of the same name on PATH.
inline constexpr std::string_view kHelperProgramFolder = "libexec/velmora";

// Where the suite's libraries, component servers and the installation's component registry
// are, below an installation's folder: a folder of their own, so that nothing of ours lands
// among the system's libraries (PREFIX/lib) or its settings.
inline constexpr std::string_view kLibraryFolder = "lib/velmora";

// The folder of the installation (or build tree) the running program belongs to: the parent
// of its folder (PREFIX for PREFIX/bin, build/ for build/bin), or PREFIX for a helper program
// in PREFIX/libexec/velmora. Empty when the system cannot tell.
std::string InstallationFolder();
std::string InstallationFolderOf(std::string_view programFolder);
// The installation's kLibraryFolder (PREFIX/lib/velmora); empty when the system cannot tell.
std::string LibraryFolder();
// The folder of the installation's own settings files: PREFIX/etc, but /etc for the system's
// installation in /usr (a package), which never writes below /usr while it runs.
std::string SettingsFolderOf(std::string_view installation);

}  // namespace platform
