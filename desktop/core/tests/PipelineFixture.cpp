#include "desktop/core/tests/PipelineFixture.h"

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>

#include "com/Bstr.h"
#include "testing/RealFiles.h"
#include "testing/Tools.h"

namespace desktop_test {

using namespace testing_support;

com::HRESULT RecordingGridane::QueryInterface(const com::IID& iid, void** object) {
    if (object == nullptr) return com::E_POINTER;
    *object = nullptr;
    if (iid != com::IGridaneCom::kIid && iid != com::IDispatch::kIid &&
        iid != com::IUnknown::kIid) {
        return com::E_NOINTERFACE;
    }
    *object = static_cast<com::IGridaneCom*>(this);
    AddRef();
    return com::S_OK;
}

uint32_t RecordingGridane::Release() {
    uint32_t left = --m_references;
    if (left == 0) delete this;
    return left;
}

com::HRESULT RecordingGridane::Injected(const std::string& name) {
    if (name == throwOn) throw std::runtime_error("injected failure");
    return name == failOn ? failWith : com::S_OK;
}

com::HRESULT RecordingGridane::Record(const char* name, int32_t value) {
    puts.push_back({name, value});
    return Injected(name);
}

com::HRESULT RecordingGridane::Record(const char* name, com::BSTR value) {
    puts.push_back({name, com::Bstr::Attach(com::SysAllocString(value)).ToUtf8()});
    return Injected(name);
}

com::HRESULT RecordingGridane::getGridaneFile(com::BSTR in, com::BSTR out, com::BSTR* status) {
    calls.emplace_back(com::Bstr::Attach(com::SysAllocString(in)).ToUtf8(),
                       com::Bstr::Attach(com::SysAllocString(out)).ToUtf8());
    if (com::HRESULT hr = Injected("getGridaneFile"); hr != com::S_OK) return hr;
    return m_inner->getGridaneFile(in, out, status);
}

PipelineTest::PipelineTest() {
    const char* path = std::getenv("PATH");
    const char* temp = std::getenv("TMPDIR");
    m_savedPath = path != nullptr ? path : "";
    m_savedTemp = temp != nullptr ? temp : "";
    // The cleaning scripts of this build come first; every working file lands in the scratch.
    ::setenv("PATH", (BuildDir() + "/bin:" + m_savedPath).c_str(), 1);
    m_temp = m_scratch.File("tmp");
    std::filesystem::create_directory(m_temp);
    ::setenv("TMPDIR", m_temp.c_str(), 1);
    m_log = std::make_unique<desktop::DebugLog>(
        desktop::ConfigFolder(m_scratch.Path(), m_scratch.File("config")));
    m_setup.dontCleanFile = 1;
}

PipelineTest::~PipelineTest() {
    m_engines.reset();
    m_realEngines.reset();
    ::setenv("PATH", m_savedPath.c_str(), 1);
    if (m_savedTemp.empty()) {
        ::unsetenv("TMPDIR");
    } else {
        ::setenv("TMPDIR", m_savedTemp.c_str(), 1);
    }
}

void PipelineTest::UseEngines(bool record) {
    m_engines.reset();
    m_realEngines.reset();
    auto real = std::make_unique<desktop::EngineObjects>(m_ui);
    ASSERT_EQ(real->CreationResult(), com::S_OK);
    ASSERT_NE(real->Gridane(), nullptr);
    ASSERT_NE(real->Turnelle(), nullptr);
    if (!record) {
        m_engines = std::move(real);
        return;
    }
    com::ComPtr<com::IGridaneCom> gridane;
    real->Gridane()->QueryInterface(com::IGridaneCom::kIid, gridane.Put());
    com::ComPtr<com::ITurnelleCom> turnelle;
    real->Turnelle()->QueryInterface(com::ITurnelleCom::kIid, turnelle.Put());
    m_recording = new RecordingGridane(gridane);
    com::ComPtr<com::IGridaneCom> recording;
    m_recording->QueryInterface(com::IGridaneCom::kIid, recording.Put());
    m_recording->Release();
    // The runtime stays initialised by `real`, kept alive behind the recording object.
    m_realEngines = std::move(real);
    m_engines = std::make_unique<desktop::EngineObjects>(recording, turnelle);
}

int PipelineTest::Process() {
    return Process(desktop::JobRequest(m_setup));
}

int PipelineTest::Process(const desktop::ProcessRequest& request) {
    if (!m_engines) UseEngines(false);
    desktop::PipelineContext context{m_setup, m_conversion, *m_engines,
                                     m_ui,    *m_log,       m_commandLineMode};
    context.converterTimeout = m_converterTimeout;
    return desktop::ProcessFile(context, request);
}

std::string PipelineTest::MakeInput(const std::string& name, int pages, Producer producer) {
    std::string made = File(name);
    std::string ghostscript = producer == Producer::Ghostscript ? made : made + ".gs.pdf";
    PdfFromPostScript(NumberedPagesPostScript(pages, 300, 400), ghostscript);
    if (producer == Producer::QpdfObjectStreams) {
        MustRun("qpdf --object-streams=generate " + ShellQuote(ghostscript) + " " +
                ShellQuote(made));
    } else if (producer == Producer::Cairo) {
        MustRun("pdftocairo -pdf " + ShellQuote(ghostscript) + " " + ShellQuote(made));
    }
    if (ghostscript != made) std::filesystem::remove(ghostscript);
    return made;
}

std::vector<std::string> PipelineTest::Entries(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string VelmoradeCommand(const ScratchDir& dir, const std::string& arguments,
                             const std::string& program) {
    std::string path = program.empty() ? BuildDir() + "/bin/velmorade" : program;
    return "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + ShellQuote(dir.File("config")) +
           " TMPDIR=" + ShellQuote(dir.File("tmp")) + " " + ShellQuote(path) + " " + arguments;
}

CommandResult Velmorade(const ScratchDir& dir, const std::string& arguments) {
    return Run("cd " + ShellQuote(dir.Path()) + " && " + VelmoradeCommand(dir, arguments) +
               " 2>&1");
}

CommandResult VelmoradeTwiceAtOnce(const ScratchDir& dir, const std::string& first,
                                   const std::string& second) {
    return Run("cd " + ShellQuote(dir.Path()) + " && { " + VelmoradeCommand(dir, first) + " & " +
               VelmoradeCommand(dir, second) + "; second=$?; wait $! && exit $second; } 2>&1");
}

std::vector<std::vector<int>> PrintedNumbers(const std::string& pdf) {
    std::vector<std::vector<int>> pages;
    int count = PageCount(pdf);
    static const std::regex number("[0-9]+");
    for (int page = 1; page <= count; ++page) {
        std::string text = PageText(pdf, page);
        std::vector<int> numbers;
        for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
            numbers.push_back(std::stoi(it->str()));
        }
        pages.push_back(numbers);
    }
    return pages;
}

}  // namespace desktop_test
