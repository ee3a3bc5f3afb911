// The progress dots a run prints while it walks the page tree and parses the selection: one
// counter shared by both, each step saying after how many counts a dot is due.
#pragma once

#include <ostream>

namespace turnelle {

class ProgressDots {
  public:
    explicit ProgressDots(std::ostream& out) : m_out(out) {}

    // Counts one step; prints "." and starts over once the count passes `limit`.
    void Step(int limit) {
        if (++m_count > limit) {
            m_out << '.';
            m_count = 0;
        }
    }

    std::ostream& Out() { return m_out; }

  private:
    std::ostream& m_out;
    int m_count = 0;
};

}  // namespace turnelle
