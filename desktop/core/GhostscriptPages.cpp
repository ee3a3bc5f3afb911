#include "desktop/core/GhostscriptPages.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace desktop {
namespace {

// Page lines are short; the bytes of a longer line beyond this are of no interest.
constexpr size_t kLongestLine = 80;

// The whole number at the start of `text`, or -1.
int64_t LeadingNumber(std::string_view text) {
    int64_t value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data() ? value : -1;
}

}  // namespace

bool GhostscriptPages::Poll() {
    std::ifstream in(m_file, std::ios::binary);
    if (!in || !in.seekg(m_read)) return false;
    const int64_t before = m_done;
    char buffer[16 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        m_read += in.gcount();
        Take(std::string_view(buffer, static_cast<size_t>(in.gcount())));
    }
    return m_done != before;
}

void GhostscriptPages::Take(std::string_view text) {
    for (char c : text) {
        if (c == '\n') {
            TakeLine(m_line);
            m_line.clear();
        } else if (m_line.size() < kLongestLine) {
            m_line += c;
        }
    }
}

void GhostscriptPages::TakeLine(std::string_view line) {
    constexpr std::string_view kRange = "Processing pages ";
    constexpr std::string_view kThrough = " through ";
    constexpr std::string_view kPage = "Page ";
    if (line.starts_with(kRange)) {
        line.remove_prefix(kRange.size());
        int64_t first = LeadingNumber(line);
        size_t through = line.find(kThrough);
        int64_t last = through == std::string_view::npos
                           ? -1
                           : LeadingNumber(line.substr(through + kThrough.size()));
        if (first >= 1 && last >= first) {
            m_first = first;
            m_total = last - first + 1;
        }
    } else if (line.starts_with(kPage) && m_total > 0) {
        // Page k begins: the pages before it are done.
        int64_t page = LeadingNumber(line.substr(kPage.size()));
        if (page >= m_first) m_done = std::min(page - m_first, m_total);
    }
}

}  // namespace desktop
