// What the pipeline tests share: a scratch folder that is also the temporary folder, the
// cleaning scripts of the build on PATH, real engine objects (or a recording one in front of
// the real imposition engine), a quiet UI port and a debug log, and inputs made by real
// producers.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/Pipeline.h"
#include "desktop/core/QuietUiPort.h"
#include "gridane/interface/GridaneInterface.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace desktop_test {

// An imposition object that records every put and call and passes them to the real engine.
// `failWith` makes the call of that name (a put's name or "getGridaneFile") fail with the
// code; `throwOn` makes it throw a non-COM exception.
class RecordingGridane final : public com::IGridaneCom {
  public:
    explicit RecordingGridane(com::ComPtr<com::IGridaneCom> inner) : m_inner(std::move(inner)) {}

    std::vector<desktop::PropertyPut> puts;
    std::vector<std::pair<std::string, std::string>> calls;  // getGridaneFile's two names
    std::string failOn;
    com::HRESULT failWith = com::E_FAIL;
    std::string throwOn;

    com::HRESULT QueryInterface(const com::IID& iid, void** object) override;
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override;
    com::HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count,
                               com::DISPID* ids) override {
        return m_inner->GetIDsOfNames(names, count, ids);
    }
    com::HRESULT Invoke(com::DISPID id, uint16_t flags, std::span<const com::Variant> args,
                        com::Variant* result) override {
        return m_inner->Invoke(id, flags, args, result);
    }
    com::HRESULT getGridaneFile(com::BSTR in, com::BSTR out, com::BSTR* status) override;

// Every put records its name and value, then goes on to the real object.
#define RECORDING_PUT(name, dispid, kind, ...)                                  \
    com::HRESULT put_##name(VELMORA_PROPERTY_ARG(kind) value) override {        \
        if (com::HRESULT hr = Record(#name, value); hr != com::S_OK) return hr; \
        return m_inner->put_##name(value);                                      \
    }
    GRIDANE_PROPERTIES(RECORDING_PUT)
#undef RECORDING_PUT

  private:
    ~RecordingGridane() = default;
    com::HRESULT Record(const char* name, int32_t value);
    com::HRESULT Record(const char* name, com::BSTR value);
    com::HRESULT Injected(const std::string& name);

    com::ComPtr<com::IGridaneCom> m_inner;
    uint32_t m_references = 1;
};

class PipelineTest : public ::testing::Test {
  public:  // table-driven cases arrange the fixture from outside
    PipelineTest();
    ~PipelineTest() override;

    // Real engine objects; with `record`, the imposition object is a RecordingGridane.
    void UseEngines(bool record);
    // Runs ProcessFile with the fixture's job and returns its result.
    // The Process command's call, or one for `request`.
    int Process();
    int Process(const desktop::ProcessRequest& request);

    // A PDF of `pages` numbered pages made by Ghostscript, or rewritten by qpdf with object
    // streams, or by cairo.
    enum class Producer { Ghostscript, QpdfObjectStreams, Cairo };
    std::string MakeInput(const std::string& name, int pages,
                          Producer producer = Producer::Ghostscript);
    std::string File(const std::string& name) const { return m_scratch.File(name); }
    // The names in the temporary folder and in `folder`, sorted.
    std::vector<std::string> Entries(const std::string& folder) const;
    std::string TempFolder() const { return m_temp; }

    testing_support::ScratchDir m_scratch;
    std::string m_temp;
    desktop::JobSetup m_setup;
    desktop::ConversionSettings m_conversion;
    desktop::QuietUiPort m_ui;
    std::unique_ptr<desktop::DebugLog> m_log;
    std::unique_ptr<desktop::EngineObjects> m_realEngines;  // behind a recording object
    std::unique_ptr<desktop::EngineObjects> m_engines;
    RecordingGridane* m_recording = nullptr;  // owned by m_engines when set
    bool m_commandLineMode = true;
    std::chrono::milliseconds m_converterTimeout{0};

  private:
    std::string m_savedPath;
    std::string m_savedTemp;
};

// The program with no display, its own configuration and temporary folders ("config" and
// "tmp" in `dir`), and `arguments`; `program` names another copy of it.
std::string VelmoradeCommand(const testing_support::ScratchDir& dir, const std::string& arguments,
                             const std::string& program = {});

// Runs it in the scratch folder; the result holds standard error too.
testing_support::CommandResult Velmorade(const testing_support::ScratchDir& dir,
                                         const std::string& arguments);

// Two runs started at once in the scratch folder; exit status 0 when both succeeded.
testing_support::CommandResult VelmoradeTwiceAtOnce(const testing_support::ScratchDir& dir,
                                                    const std::string& first,
                                                    const std::string& second);

// The numbers printed on each page of `pdf` (a numbered page shows one, a sheet several),
// read in pdftotext's order.
std::vector<std::vector<int>> PrintedNumbers(const std::string& pdf);

}  // namespace desktop_test
