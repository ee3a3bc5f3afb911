// Feeds arbitrary bytes to the active-content filter. Bytes that start as a PDF file are opened
// as a document (in memory, platform/MemoryFiles.h) and every object's raw text is filtered
// twice, in number order, by one filter, as a writer copying the document does; other bytes are
// filtered as one raw object text. Either way, a fresh filter must find nothing left to drop in
// what the filter wrote: anything it would drop then is active content that got through. Any
// crash, leak, hang, sanitizer report or such leftover is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pdf/CPdfActiveContent.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawText.h"
#include "platform/MemoryFiles.h"

namespace {

constexpr const char* kInput = "/velmora-fuzz/in.pdf";
constexpr int kMaxObjects = 2000;

void CheckNothingLeft(int number, const std::string& filtered) {
    CPdfActiveContentFilter fresh;
    if (fresh.FilterText(number, filtered) != filtered || !fresh.Dropped().empty()) std::abort();
}

void FilterDocument(const std::string& bytes) {
    // Everything this input made is freed with the store before the next (see
    // gridane/fuzz/ImposeFuzzer.cpp).
    platform::MemoryFiles files;
    files.Put(kInput, bytes);
    {
        CPdfDocument document;
        try {
            document.Open(kInput, platform::FileSpace(files));
            CPdfXRef& xref = document.GetXRef();
            CPdfActiveContentFilter filter;
            for (int pass = 0; pass < 2; ++pass) {
                for (int n = 1; n < xref.GetSize() && n < kMaxObjects; ++n) {
                    try {
                        std::optional<std::string> raw =
                            filter.Filter(n, GetRawObjectText(xref, n));
                        if (raw) CheckNothingLeft(n, *raw);
                    } catch (const CPdfException&) {
                    }
                }
            }
            CPdfWarnings warnings;
            filter.Report(warnings);
        } catch (const CPdfException&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.compare(0, 5, "%PDF-") == 0) {
        FilterDocument(bytes);
        return 0;
    }
    CPdfActiveContentFilter filter;
    const std::string filtered = filter.FilterText(7, bytes);
    CheckNothingLeft(7, filtered);
    // The script text of a dropped action (/JS 7 0 R) goes as a whole when filtered after it.
    filter.FilterText(7, filtered);
    return 0;
}
