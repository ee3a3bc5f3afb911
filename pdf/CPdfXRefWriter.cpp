#include "pdf/CPdfXRefWriter.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "pdf/CPdfException.h"
#include "platform/File.h"

namespace {

constexpr int64_t kMaxOffset = 999999999;

int GenerationOf(const std::vector<CPdfOutputEntry>& entries, int number) {
    if (number <= 0 || static_cast<size_t>(number) >= entries.size()) return 0;
    return entries[static_cast<size_t>(number)].generation;
}

}  // namespace

std::string XRefAndTrailerText(const std::vector<CPdfOutputEntry>& entries, int rootNum,
                               int infoNum, int64_t tablePosition) {
    for (size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].offset > kMaxOffset)
            throw CPdfException(pdfmsg::kOutputTooLarge, static_cast<int>(i), entries[i].offset);
    }
    const size_t count = std::max<size_t>(entries.size(), 1);
    std::string text;
    text.reserve(32 + count * 20 + 128);
    text += "xref\n0 " + std::to_string(count) + "\r";
    text += "0000000000 65535 f \r";
    // "%010d %05d %c \r" per entry, written digit by digit: a table of many pages has many.
    char line[21] = "0000000000 00000 n \r";
    for (size_t i = 1; i < entries.size(); ++i) {
        const CPdfOutputEntry& e = entries[i];
        int64_t offset = std::max<int64_t>(e.offset, 0);
        int generation = std::clamp(e.generation, 0, 65535);
        for (int k = 9; k >= 0; --k, offset /= 10) line[k] = static_cast<char>('0' + offset % 10);
        for (int k = 15; k >= 11; --k, generation /= 10) {
            line[k] = static_cast<char>('0' + generation % 10);
        }
        line[17] = e.inUse ? 'n' : 'f';
        text.append(line, 20);
    }
    text += "trailer\n<<\n/Size " + std::to_string(count) + "\n";
    text += "/Root " + std::to_string(rootNum) + " " +
            std::to_string(GenerationOf(entries, rootNum)) + " R\n";
    if (infoNum != 0) {
        text += "/Info " + std::to_string(infoNum) + " " +
                std::to_string(GenerationOf(entries, infoNum)) + " R\n";
    }
    text += ">>\nstartxref\n" + std::to_string(tablePosition) + "\n%%EOF";
    return text;
}

void WriteXRefAndTrailer(platform::WriteFile& out, const std::vector<CPdfOutputEntry>& entries,
                         int rootNum, int infoNum) {
    out.Write(XRefAndTrailerText(entries, rootNum, infoNum, out.Position()));
}
