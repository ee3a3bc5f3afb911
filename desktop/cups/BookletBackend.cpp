#include "desktop/cups/BookletBackend.h"

#include <cups/cups.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "desktop/core/BatchRun.h"
#include "desktop/core/ConfigFolder.h"
#include "desktop/core/DesktopSession.h"
#include "desktop/core/QuietUiPort.h"
#include "desktop/core/SetupFile.h"
#include "desktop/cups/PrinterDevice.h"
#include "platform/File.h"
#include "platform/MoveIfFree.h"
#include "platform/RunAndWait.h"
#include "platform/Spawn.h"

namespace desktop {

namespace fs = std::filesystem;

namespace {

constexpr auto kPostScriptTimeout = std::chrono::minutes(10);

// The job's arguments by their place after the device name.
struct JobArguments {
    std::string id, user, title;
    int copies = 1;
    std::string options;
    std::string file;  // empty: standard input
};

// Thrown with the exit status and the reason, caught once in RunBackend.
struct BackendFailure {
    int status;
    std::string reason;
};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A private folder in $TMPDIR, removed with everything in it when the job ends.
class JobFolder {
  public:
    JobFolder() {
        std::string error;
        m_path = platform::MakePrivateFolder("velmora-cups-", &error);
        if (m_path.empty()) {
            throw BackendFailure{kBackendFailed, "can't make a working folder: " + error};
        }
    }
    ~JobFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    JobFolder(const JobFolder&) = delete;
    JobFolder& operator=(const JobFolder&) = delete;
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

std::string ReadText(const std::string& path, size_t limit) {
    std::ifstream file(path, std::ios::binary);
    std::string text(limit, '\0');
    file.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

// The document as a PDF in the job folder: the file as it is, or PostScript made PDF.
std::string DocumentAsPdf(const JobArguments& job, const JobFolder& folder) {
    std::string document = folder.File("document");
    if (job.file.empty()) {
        std::ofstream copy(document, std::ios::binary);
        copy << std::cin.rdbuf();
        if (!copy.flush()) throw BackendFailure{kBackendFailed, "can't keep the job's data"};
    } else {
        document = platform::FileArgument(job.file);
    }
    if (platform::StartsAsPdf(document)) return document;
    if (ReadText(document, 2) != "%!") {
        throw BackendFailure{kBackendCancel, "the job is neither PDF nor PostScript"};
    }
    std::string pdf = folder.File("document.pdf");
    // Ghostscript reads '%' in an output name as a page-number format.
    std::string output;
    for (char c : pdf) output += c == '%' ? std::string("%%") : std::string(1, c);
    platform::RunOptions options;
    options.timeout = kPostScriptTimeout;
    options.errorFile = folder.File("gs-errors.txt");
    platform::RunResult run =
        platform::RunAndWait("gs",
                             {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite",
                              "-sOutputFile=" + output, "-f", document},
                             options);
    if (!run.Succeeded() || !platform::StartsAsPdf(pdf)) {
        std::string said = ReadText(folder.File("gs-errors.txt"), 300);
        throw BackendFailure{kBackendCancel, "the PostScript job could not be read" +
                                                 (said.empty() ? std::string() : ": " + said)};
    }
    return pdf;
}

std::string JobOption(const JobArguments& job, const char* name) {
    cups_option_t* options = nullptr;
    int count = cupsParseOptions(job.options.c_str(), 0, &options);
    const char* value = cupsGetOption(name, count, options);
    std::string text = value != nullptr ? value : "";
    cupsFreeOptions(count, options);
    return text;
}

// The printer's setup, or the booklet on the paper the job asked for (in the print dialog).
JobSetup JobFor(const DeviceTarget& target, const JobArguments& job) {
    if (!target.setup.empty()) {
        JobSetup setup;
        SetupReadResult read = ReadSetupFile(target.setup, setup, {.override = true});
        if (!read.opened) {
            throw BackendFailure{kBackendStop, "can't read the setup " + target.setup};
        }
        for (const std::string& refused : read.refused) std::cerr << "WARNING: " << refused << "\n";
        return setup;
    }
    std::string ppd = ReadText(Environment("PPD"), 1 << 20);
    std::string asked = JobOption(job, "PageSize");
    if (asked.empty()) asked = JobOption(job, "media");
    std::optional<Paper> paper = PpdPaper(ppd, asked);
    if (!paper) paper = Paper{"A4", 595, 842};
    return BookletJob(*paper);
}

// Imposes `pdf` with `setup` through the desktop pipeline into the job folder.
std::string Impose(const std::string& pdf, const JobSetup& setup, const JobFolder& folder) {
    std::ostringstream said;
    QuietUiPort ui(&said);
    // Every configuration file would be looked for in the job folder: none of lp's own.
    DesktopSession session(ui, ConfigFolder(folder.Path(), folder.Path()));
    session.SetQuietMode(true);
    session.SetCommandLineMode(true);
    session.Open();
    session.Setup() = setup;
    session.Setup().inFile = pdf;
    session.Setup().outFile = folder.File("booklet.pdf");
    session.Process();
    if (session.ExitStatus() != 0 || !platform::StartsAsPdf(session.Setup().outFile)) {
        std::string text = said.str();
        while (!text.empty() && text.back() == '\n') text.pop_back();
        for (char& c : text) c = c == '\n' ? ' ' : c;
        throw BackendFailure{kBackendCancel, "the job could not be imposed: " + text};
    }
    return session.Setup().outFile;
}

void SendToQueue(const std::string& booklet, const DeviceTarget& target, const JobArguments& job,
                 bool booklet2Up) {
    if (target.name == Environment("PRINTER")) {
        throw BackendFailure{kBackendStop, "the printer sends its jobs to itself"};
    }
    cups_option_t* options = nullptr;
    int count = 0;
    if (job.copies > 1)
        count = cupsAddOption("copies", std::to_string(job.copies).c_str(), count, &options);
    std::string sides = JobOption(job, "sides");
    if (sides.empty() && booklet2Up) sides = "two-sided-short-edge";
    if (!sides.empty()) count = cupsAddOption("sides", sides.c_str(), count, &options);
    int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, target.name.c_str(), booklet.c_str(),
                            job.title.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0) {
        throw BackendFailure{
            kBackendFailed,
            "the queue " + target.name + " did not take the booklet: " + cupsLastErrorString()};
    }
    std::cerr << "INFO: booklet sent to " << target.name << " as job " << id << "\n";
}

std::string SafeFileName(const JobArguments& job) {
    std::string name;
    for (char c : job.title) {
        auto byte = static_cast<unsigned char>(c);
        name += (byte < ' ' || c == '/' || byte == 127) ? '_' : c;
    }
    if (name.empty() || name[0] == '.' || name[0] == '-')
        name = "job-" + job.id + (name.empty() ? "" : "-" + name);
    if (name.size() > 200) name.resize(200);
    if (name.size() < 4 || name.substr(name.size() - 4) != ".pdf") name += ".pdf";
    return name;
}

void SendToFolder(const std::string& booklet, const DeviceTarget& target, const JobArguments& job) {
    // A copy beside the target under a hidden name, then moved to a free name: the folder never
    // shows half a file, and never loses one it had.
    std::string part = target.name + "/.velmora-" + job.id + "-" + std::to_string(::getpid());
    std::error_code error;
    fs::copy_file(booklet, part, fs::copy_options::overwrite_existing, error);
    if (error) {
        throw BackendFailure{kBackendFailed,
                             "can't write into " + target.name + ": " + error.message()};
    }
    std::string name = SafeFileName(job);
    for (int number = 1; number < 10000; ++number) {
        std::string placed = target.name + "/" + NumberedName(name, number);
        std::string why;
        platform::MoveOutcome moved = platform::MoveIfFree(part, placed, &why);
        if (moved == platform::MoveOutcome::Moved) {
            std::cerr << "INFO: booklet written to " << placed << "\n";
            return;
        }
        if (moved != platform::MoveOutcome::NameTaken) break;
    }
    fs::remove(part, error);
    throw BackendFailure{kBackendFailed, "can't name the booklet in " + target.name};
}

}  // namespace

int RunBackend(const std::vector<std::string>& arguments) {
    if (arguments.size() == 1) {
        std::cout << "network " << kBackendScheme
                  << " \"Unknown\" \"Velmora booklet (add with velmora-cups --add-printer)\"\n";
        return kBackendOk;
    }
    if (arguments.size() < 6 || arguments.size() > 7) {
        std::cerr << "Usage: " << arguments[0] << " job-id user title copies options [file]\n";
        return kBackendFailed;
    }
    JobArguments job{arguments[1], arguments[2],
                     arguments[3], std::atoi(arguments[4].c_str()),
                     arguments[5], arguments.size() == 7 ? arguments[6] : ""};
    try {
        std::string why;
        std::optional<DeviceTarget> target = ParseDeviceUri(Environment("DEVICE_URI"), &why);
        if (!target) throw BackendFailure{kBackendStop, why};
        JobFolder folder;
        JobSetup setup = JobFor(*target, job);
        std::string booklet = Impose(DocumentAsPdf(job, folder), setup, folder);
        if (target->kind == DeviceTarget::Kind::Queue) {
            SendToQueue(booklet, *target, job, setup.duplex2Up == kChosen);
        } else {
            SendToFolder(booklet, *target, job);
        }
        return kBackendOk;
    } catch (const BackendFailure& failure) {
        std::cerr << "ERROR: velmora: " << failure.reason << "\n";
        return failure.status;
    }
}

}  // namespace desktop
