// Reading a sequence file from disk; the parsing is in SequenceFile.cpp.
#include <algorithm>

#include "gridane/merge/SequenceFile.h"
#include "pdf/CPdfException.h"
#include "platform/File.h"

namespace gridane {

namespace {
// Only the beginning of a sequence file matters; a huge file is not read whole.
constexpr size_t kMaxSequenceBytes = 1 << 20;
}  // namespace

std::vector<SequenceCells> ReadSequenceFile(const std::string& path, const SequenceRange& range,
                                            platform::FileSpace files) {
    platform::ReadFile file;
    if (!file.Open(path, files)) throw CPdfException(kSequenceWrongPath);
    std::string text(static_cast<size_t>(std::min<int64_t>(file.Size(), kMaxSequenceBytes)), '\0');
    int64_t got = text.empty() ? 0 : file.ReadAt(0, text.data(), text.size());
    if (got < 0) throw CPdfException(kSequenceWrongPath);
    text.resize(static_cast<size_t>(got));
    SequenceNumbers parsed = ParseSequenceText(text);
    if (parsed.error != nullptr) throw CPdfException(parsed.error);
    return ContinueSequence(parsed.numbers, range);
}

}  // namespace gridane
