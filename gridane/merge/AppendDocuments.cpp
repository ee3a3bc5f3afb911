#include "gridane/merge/AppendDocuments.h"

#include <exception>

#include "gridane/merge/AppendJob.h"
#include "pdf/CPdfException.h"

namespace gridane {

void AppendDocuments(const std::string& first, const std::string& second, const std::string& output,
                     com::IProgressSink* progress) {
    AppendJob job(first, second, output, progress);
    job.Run();
}

bool AppendForPrePass(const std::string& first, const std::string& second,
                      const std::string& output, com::IProgressSink* progress,
                      platform::FileSpace files) {
    std::string failure;
    try {
        AppendJob job(first, second, output, progress, files);
        // The pre-passes append a document to itself: its outline stays the document's own.
        job.SetChainOutlines(false);
        job.Run();
        return true;
    } catch (const CPdfException& e) {
        failure = e.GetMessage();
    } catch (const std::exception&) {
        failure = "Unexpected exception";
    }
    if (progress != nullptr) {
        while (!failure.empty() && (failure.back() == '\n' || failure.back() == '\r')) {
            failure.pop_back();
        }
        progress->Progress("\r\n");
        progress->Warning(failure);
    }
    return false;
}

}  // namespace gridane
