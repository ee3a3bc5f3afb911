#include "gridane/CopyPass.h"

#include <algorithm>
#include <limits>

#include "pdf/CPdfRawText.h"

namespace gridane {
namespace {

constexpr std::string_view kFallbackHeader = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";

}  // namespace

void CopyHeader(ImpositionJob& job) {
    CPdfXRef& xref = job.document.GetXRef();
    int64_t first = std::numeric_limits<int64_t>::max();
    for (const CPdfXRefEntry& entry : xref.GetEntries()) {
        if (entry.type == 1 && entry.offset > 0) first = std::min<int64_t>(first, entry.offset);
    }
    const platform::ReadFile& file = job.document.GetFile();
    int64_t start = xref.GetHeaderStart();
    if (first == std::numeric_limits<int64_t>::max() || start < 0) {
        job.output.Write(kFallbackHeader);
        return;
    }
    // Copied in pieces: the bytes before the first object can be many in odd files, and are a
    // few dozen in most.
    std::string buffer(static_cast<size_t>(std::min<int64_t>(first, 64 * 1024)), '\0');
    for (int64_t done = 0; done < first;) {
        size_t want = static_cast<size_t>(std::min<int64_t>(first - done, buffer.size()));
        int64_t got = file.ReadAt(start + done, buffer.data(), want);
        if (got <= 0) break;
        job.output.Write(std::string_view(buffer.data(), static_cast<size_t>(got)));
        done += got;
    }
}

void CopyObjects(ImpositionJob& job) {
    CPdfXRef& xref = job.document.GetXRef();
    const std::vector<CPdfXRefEntry>& entries = xref.GetEntries();
    std::vector<bool> isPage(entries.size(), false);
    for (const PageRecord& page : job.pages) {
        if (static_cast<size_t>(page.objectNumber) < isPage.size())
            isPage[page.objectNumber] = true;
    }
    int pagesSeen = 0;
    const auto total = static_cast<int64_t>(entries.size());
    int64_t hundredthsTold = 0;
    for (size_t number = 1; number < entries.size(); ++number) {
        // The copy is most of a run's time: told in hundredths of the objects, not each one.
        if (int64_t hundredths = static_cast<int64_t>(number) * 100 / total;
            hundredths > hundredthsTold) {
            hundredthsTold = hundredths;
            job.Advanced(static_cast<int64_t>(number), total);
        }
        const CPdfXRefEntry& entry = entries[number];
        if (entry.type == 0 || job.output.IsWritten(static_cast<int>(number))) continue;
        if (number < job.heldBack.size() && job.heldBack[number]) continue;
        if (isPage[number]) {
            // Pages are written as sheets or kept pages; one that only shows in another
            // sheet's cell keeps a free entry, so nothing points into the middle of an object.
            if (++pagesSeen % 6 == 0) job.Print(".");
            continue;
        }
        std::optional<std::string> raw = job.activeContent.Filter(
            static_cast<int>(number), GetRawObjectText(xref, static_cast<int>(number)));
        if (!raw || raw->empty() || IsObjectOrXRefStream(*raw)) continue;
        job.output.BeginObject(static_cast<int>(number), entry.type == 1 ? entry.generation : 0);
        job.output.Write(*raw);
    }
    job.Advanced(total, total);
}

}  // namespace gridane
