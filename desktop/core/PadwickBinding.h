// The padding library ("Padwick.dll", here libpadwick.so) bound at run time.
//
// A binding is made for one use and destroyed right after it: construction loads the library
// by name and binds its four exports by name; destruction unloads it. While it is not usable
// (the library did not load, or lacks an export) the page count reads 0 and nothing is
// written.
//
// The library keeps one process-wide state for the operation it runs, so bindings are made one
// at a time: a binding holds a lock for its whole life, and a batch row that pads waits while
// another row pads.
#pragma once

#include <mutex>
#include <string>

#include "platform/SharedLibrary.h"

namespace desktop {

class PadwickBinding {
  public:
    PadwickBinding();
    PadwickBinding(const PadwickBinding&) = delete;
    PadwickBinding& operator=(const PadwickBinding&) = delete;

    bool IsUsable() const;

    // The page count of `path` as the library reports it (negative for its failures);
    // 0 when the binding is not usable.
    int GetPageCount(const std::string& path) const;
    // Writes `output`: `input` followed by `count` blank pages. The library's result, or 0
    // when the binding is not usable.
    int AddBlanks(const std::string& input, const std::string& output, int count) const;
    int GetProcessingStatus() const;
    int GetProcessingPage() const;

  private:
    using AddBlanksFunction = int(const char*, char*, int);
    using GetPageCountFunction = int(const char*);
    using StatusFunction = int();

    std::unique_lock<std::mutex> m_oneAtATime;  // taken before the library is loaded
    platform::SharedLibrary m_library;
    AddBlanksFunction* m_addBlanks = nullptr;
    GetPageCountFunction* m_getPageCount = nullptr;
    StatusFunction* m_getProcessingStatus = nullptr;
    StatusFunction* m_getProcessingPage = nullptr;
};

}  // namespace desktop
