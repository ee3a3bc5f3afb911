// Opens a PDF, resolves every object and takes the raw text of every in-use object, then
// prints the object counts, the throughput and the peak memory.
//
//   pdf_read_bench FILE [ROUNDS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pdf/CPdfDocument.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawText.h"
#include "platform/File.h"

namespace {

struct Totals {
    int pages = 0;
    long resolved = 0;
    long rawTexts = 0;
    long long rawBytes = 0;
};

Totals ReadEverything(const std::string& path) {
    Totals totals;
    CPdfDocument document;
    document.Open(path);
    CPdfXRef& xref = document.GetXRef();
    CPdfObject pages = xref.GetTrailer().GetDict().Lookup("Root").GetDict().Lookup("Pages");
    totals.pages = pages.GetDict().Lookup("Count").GetInt();
    for (int number = 1; number < xref.GetSize(); ++number) {
        const CPdfXRefEntry& entry = xref.GetEntries()[static_cast<size_t>(number)];
        if (entry.type == CPdfXRefEntry::kFree) continue;
        int generation = entry.type == CPdfXRefEntry::kInUse ? entry.generation : 0;
        if (!xref.Resolve(number, generation).IsNull()) ++totals.resolved;
    }
    for (int number = 1; number < xref.GetSize(); ++number) {
        std::optional<std::string> text = GetRawObjectText(xref, number);
        if (!text) continue;
        ++totals.rawTexts;
        totals.rawBytes += static_cast<long long>(text->size());
    }
    return totals;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [ROUNDS]\n", argv[0]);
        return 2;
    }
    std::string path = argv[1];
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    platform::ReadFile file;
    if (!file.Open(path)) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    try {
        Totals totals;
        auto start = std::chrono::steady_clock::now();
        for (int round = 0; round < rounds; ++round) totals = ReadEverything(path);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
            rounds;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        double megabytes = static_cast<double>(file.Size()) / (1024.0 * 1024.0);
        std::printf("file %.2f MiB, %d pages, %ld objects resolved, %ld raw texts (%.2f MiB)\n",
                    megabytes, totals.pages, totals.resolved, totals.rawTexts,
                    static_cast<double>(totals.rawBytes) / (1024.0 * 1024.0));
        std::printf("%.4f s per pass, %.1f MiB/s, peak memory %.1f MiB\n", seconds,
                    megabytes / seconds, static_cast<double>(usage.ru_maxrss) / 1024.0);
    } catch (const CPdfException& e) {
        std::fprintf(stderr, "%s\n", e.GetMessage().c_str());
        return 1;
    }
    return 0;
}
