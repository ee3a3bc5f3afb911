// Where an engine reports while it works: progress texts (the names it reads and writes, its
// dots) and warnings (what it got past without failing). The caller passes a sink; an engine
// never writes to standard output itself. The command-line programs print what their sink
// receives, the desktop program writes it into its debug log.
//
// `IProgressReporting` is how a client hands its sink to an engine object it created through
// the component runtime: it asks the object for this interface and calls SetProgressSink. The
// interface is not an automation one (it has no DISPIDs and no type-library entry); the sink
// is a plain C++ object of the client's, called on the object's own thread during its calls.
#pragma once

#include <cstdint>
#include <string_view>

#include "com/ComPtr.h"
#include "com/Unknown.h"

namespace com {

class IProgressSink {
  public:
    virtual ~IProgressSink() = default;

    // A piece of the progress text, line ends included where the engine ends a line.
    virtual void Progress(std::string_view text) = 0;
    // One warning, without a line end.
    virtual void Warning(std::string_view text) = 0;
    // How far the running call is through its work: `done` of `total` units (objects copied,
    // pages written), told as it moves on, for a progress bar. 0 < total, 0 <= done <= total.
    virtual void Advanced(int64_t done, int64_t total) {
        (void)done;
        (void)total;
    }
};

class IProgressReporting : public IUnknown {
  public:
    static constexpr IID kIid = GuidLiteral("{6A0F2C53-9B1E-4D7A-8C35-2E41B7D0F9A6}");

    // From now on the object's calls report to `sink`; nullptr reports nowhere (the default).
    // The sink stays the caller's and must outlive its use: set nullptr before it goes.
    virtual HRESULT SetProgressSink(IProgressSink* sink) = 0;

  protected:
    ~IProgressReporting() = default;
};

inline constexpr IID IID_IProgressReporting = IProgressReporting::kIid;

// Hands `sink` to `object` through its IProgressReporting: E_NOINTERFACE when it has none,
// else what the object answers.
inline HRESULT SetProgressSinkOf(IUnknown& object, IProgressSink* sink) {
    ComPtr<IProgressReporting> reporting;
    if (HRESULT hr = object.QueryInterface(IProgressReporting::kIid, reporting.Put()); FAILED(hr)) {
        return hr;
    }
    return reporting->SetProgressSink(sink);
}

// A sink that keeps nothing, for callers that want no report.
class NullProgressSink final : public IProgressSink {
  public:
    void Progress(std::string_view) override {}
    void Warning(std::string_view) override {}
};

}  // namespace com
