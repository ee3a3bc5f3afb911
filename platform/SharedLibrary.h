// Run-time loading of shared libraries (dlopen/dlsym).
//
// `SharedLibrary` owns one loaded library and unloads it on destruction (or Close()); symbols
// taken from it are valid only while it is open. `ProgramFolder` tells where the running
// program lies, so that callers can find the libraries, servers and files installed beside it.
#pragma once

#include <string>

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
    // loaded; `error` then receives the loader's reason.
    bool Open(const std::string& path, std::string* error = nullptr);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }

    // The address of the exported symbol `name`, or nullptr when there is none.
    void* Symbol(const char* name) const;

    // The exported function `name` as a pointer of type `Function*`, or nullptr.
    template <class Function>
    Function* Get(const char* name) const {
        return reinterpret_cast<Function*>(Symbol(name));
    }

  private:
    void* m_handle = nullptr;
};

// The folder holding the running program's executable, without a trailing separator;
// empty when the system cannot tell.
std::string ProgramFolder();

}  // namespace platform
