#include "desktop/core/PadwickBinding.h"

#include <vector>

namespace desktop {

namespace {

std::mutex& PaddingLibraryLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

PadwickBinding::PadwickBinding() : m_oneAtATime(PaddingLibraryLock()) {
    if (!m_library.OpenByName("Padwick.dll")) return;
    m_addBlanks = m_library.Get<AddBlanksFunction>("AddBlanks");
    m_getPageCount = m_library.Get<GetPageCountFunction>("GetPageCount");
    m_getProcessingStatus = m_library.Get<StatusFunction>("GetProcessingStatus");
    m_getProcessingPage = m_library.Get<StatusFunction>("GetProcessingPage");
}

bool PadwickBinding::IsUsable() const {
    return m_library.IsOpen() && m_addBlanks != nullptr && m_getPageCount != nullptr &&
           m_getProcessingStatus != nullptr && m_getProcessingPage != nullptr;
}

int PadwickBinding::GetPageCount(const std::string& path) const {
    return IsUsable() ? m_getPageCount(path.c_str()) : 0;
}

int PadwickBinding::AddBlanks(const std::string& input, const std::string& output,
                              int count) const {
    if (!IsUsable() || output.empty()) return 0;
    // The library writes into the output buffer only when it is empty; ours never is.
    std::vector<char> buffer(output.begin(), output.end());
    buffer.push_back('\0');
    return m_addBlanks(input.c_str(), buffer.data(), count);
}

int PadwickBinding::GetProcessingStatus() const {
    return IsUsable() ? m_getProcessingStatus() : 0;
}

int PadwickBinding::GetProcessingPage() const {
    return IsUsable() ? m_getProcessingPage() : 0;
}

}  // namespace desktop
