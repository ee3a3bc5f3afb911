// The progress a run reports: its texts, and the dots it prints while it walks the page tree
// and parses the selection (one counter shared by both, each step saying after how many counts
// a dot is due). Everything goes to the caller's sink; without one nothing is reported.
#pragma once

#include <string_view>

#include "com/ProgressSink.h"

namespace turnelle {

class ProgressDots {
  public:
    explicit ProgressDots(com::IProgressSink* sink) : m_sink(sink) {}

    // Counts one step; prints "." and starts over once the count passes `limit`.
    void Step(int limit) {
        if (++m_count > limit) {
            Print(".");
            m_count = 0;
        }
    }

    void Print(std::string_view text) {
        if (m_sink != nullptr) m_sink->Progress(text);
    }

  private:
    com::IProgressSink* m_sink;
    int m_count = 0;
};

}  // namespace turnelle
