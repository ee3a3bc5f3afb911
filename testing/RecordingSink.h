// A progress sink for tests: keeps every progress text (joined) and every warning.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/ProgressSink.h"

namespace testing_support {

class RecordingSink final : public com::IProgressSink {
  public:
    void Progress(std::string_view text) override { progress += text; }
    void Warning(std::string_view text) override { warnings.emplace_back(text); }

    std::string progress;
    std::vector<std::string> warnings;
};

}  // namespace testing_support
