// Follows the page lines Ghostscript writes while it works ("Processing pages 1 through 12."
// once, then "Page 3" as it starts each page) in the file its output goes to, so that a long
// cleaning moves the progress bar page by page. Reads only what was added since the last look,
// and keeps at most one short line in memory however much the program writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace desktop {

class GhostscriptPages {
  public:
    explicit GhostscriptPages(std::string file) : m_file(std::move(file)) {}

    // Reads what the program wrote since the last call; true when the pages done changed.
    bool Poll();
    // Takes written text as Poll reads it (the file's bytes, in order, in any pieces).
    void Take(std::string_view text);

    int64_t Done() const { return m_done; }
    int64_t Total() const { return m_total; }

  private:
    void TakeLine(std::string_view line);

    std::string m_file;
    int64_t m_read = 0;  // bytes of the file taken so far
    std::string m_line;  // the line not ended yet (its first bytes)
    int64_t m_first = 1;
    int64_t m_total = 0;
    int64_t m_done = 0;
};

}  // namespace desktop
