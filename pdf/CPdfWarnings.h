// CPdfWarnings: what a run got past without failing, for its caller to show or log: a page-tree
// node skipped, a cross-reference entry treated as free, a stream that could not be decoded.
//
// A value type with a cap: past `Cap()` texts, further ones are only counted, so that a badly
// damaged file cannot make the list grow without bound. Texts are single lines of UTF-8
// without a line end.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CPdfWarnings {
  public:
    static constexpr size_t kDefaultCap = 50;

    explicit CPdfWarnings(size_t cap = kDefaultCap) : m_cap(cap) {}

    // Keeps `text` while fewer than the cap are kept, else counts it as dropped.
    void Add(std::string text);
    // Whether the next text would only be counted: a caller can then skip making it.
    bool IsFull() const { return m_items.size() >= m_cap; }
    // Adds every kept text of `other` and its dropped count (for a run over several files).
    void Append(const CPdfWarnings& other);
    void Clear();

    const std::vector<std::string>& Items() const { return m_items; }
    // How many texts were not kept because the cap was reached.
    size_t Dropped() const { return m_dropped; }
    size_t Cap() const { return m_cap; }
    bool Empty() const { return m_items.empty() && m_dropped == 0; }

    // One line per kept text, each "warning: TEXT\n", and "warning: N more not listed\n" when
    // some were dropped; empty when there are none.
    std::string Text() const;
    // The same as separate texts without the "warning: " and the line ends, for a sink.
    std::vector<std::string> Lines() const;

  private:
    size_t m_cap;
    std::vector<std::string> m_items;
    size_t m_dropped = 0;
};
