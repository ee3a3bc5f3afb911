// Feeds arbitrary bytes to the reader as a file: open, resolve every object, decode every
// stream, take every raw text. Any crash, leak or hang is a finding.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "pdf/CPdfDocument.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawText.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = "/tmp/pdf_open_fuzzer." + std::to_string(::getpid()) + ".pdf";
    return path;
}

void Exercise(CPdfXRef& xref) {
    for (int n = 0; n < xref.GetSize() && n < 5000; ++n) {
        const CPdfXRefEntry& e = xref.GetEntries()[static_cast<size_t>(n)];
        try {
            CPdfObject o = xref.Resolve(n, e.type == CPdfXRefEntry::kInUse ? e.generation : 0);
            if (o.IsStream()) ReadStreamBytes(o.GetStream(), 1 << 20);
        } catch (const CPdfException&) {
        }
        try {
            GetRawObjectText(xref, n);
        } catch (const CPdfException&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CPdfDocument document;
    try {
        document.Open(ScratchPath());
    } catch (const CPdfException&) {
        return 0;
    }
    Exercise(document.GetXRef());
    document.GetXRef().SetStrictMode(true);
    Exercise(document.GetXRef());
    return 0;
}
