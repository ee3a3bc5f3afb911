// Feeds arbitrary bytes to the reader as a file: open, resolve every object, decode every
// stream, take every raw text. Any crash, leak or hang is a finding. The file lives in memory
// (platform/MemoryFiles.h).
#include <cstdint>
#include <string>

#include "pdf/CPdfDocument.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawText.h"
#include "platform/MemoryFiles.h"

namespace {

constexpr const char* kInput = "/velmora-fuzz/in.pdf";

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
    // Everything this input made is freed with the store before the next (see ImposeFuzzer.cpp).
    platform::MemoryFiles files;
    files.Put(kInput, std::string(reinterpret_cast<const char*>(data), size));
    {
        CPdfDocument document;
        try {
            document.Open(kInput, platform::FileSpace(files));
            Exercise(document.GetXRef());
            document.GetXRef().SetStrictMode(true);
            Exercise(document.GetXRef());
        } catch (const CPdfException&) {
        }
    }
    return 0;
}
