#include "gridane/merge/AppendDocuments.h"

#include <cstdio>
#include <exception>

#include "gridane/merge/AppendJob.h"
#include "pdf/CPdfException.h"

namespace gridane {

void AppendDocuments(const std::string& first, const std::string& second,
                     const std::string& output) {
    AppendJob job(first, second, output);
    try {
        job.Run();
    } catch (...) {
        // A half-written file would be taken for a document by the pre-passes' callers.
        job.Abandon();
        throw;
    }
}

bool AppendForPrePass(const std::string& first, const std::string& second,
                      const std::string& output) {
    try {
        AppendDocuments(first, second, output);
        return true;
    } catch (const CPdfException& e) {
        std::printf("%s\r\n", e.GetMessage().c_str());
    } catch (const std::exception&) {
        std::printf("Unexpected exception\r\n");
    }
    std::fflush(stdout);
    return false;
}

}  // namespace gridane
