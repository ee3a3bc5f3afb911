#include "desktop/cups/PrinterSetup.h"

#include <cups/cups.h>
#include <cups/pwg.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "desktop/core/SetupFile.h"
#include "desktop/cups/PrinterDevice.h"
#include "platform/RunAndWait.h"
#include "platform/SharedLibrary.h"
#include "platform/Spawn.h"

namespace desktop {

namespace fs = std::filesystem;

namespace {

int Refuse(const std::string& reason) {
    std::cerr << "velmora-cups: " << reason << "\n";
    return 1;
}

int Points(int hundredthsOfMm) {
    return static_cast<int>(std::lround(hundredthsOfMm * 72.0 / 2540.0));
}

// The PPD name of a media size ("na_letter_8.5x11in_borderless" -> "Letter"): the self-describing
// name is class_name_dimensions, and the server adds variants such as "_borderless" after it.
Paper PaperOf(const cups_size_t& size) {
    std::string name = size.media;
    size_t first = name.find('_');
    size_t second = first == std::string::npos ? first : name.find('_', first + 1);
    size_t third = second == std::string::npos ? second : name.find('_', second + 1);
    if (third != std::string::npos) name.resize(third);
    pwg_media_t* media = pwgMediaForPWG(name.c_str());
    std::string keyword = media != nullptr && media->ppd != nullptr ? media->ppd : name;
    return {keyword, Points(size.width), Points(size.length)};
}

// The paper sizes the queue offers and its default; empty when the server does not know it.
std::vector<Paper> QueuePapers(const std::string& queue, std::string* defaultPaper,
                               std::string* error) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (dest == nullptr) {
        *error = "the print server has no queue \"" + queue + "\" (" + cupsLastErrorString() + ")";
        return {};
    }
    std::vector<Paper> papers;
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (info != nullptr) {
        int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, 0);
        for (int i = 0; i < count; ++i) {
            cups_size_t size{};
            if (cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, 0, &size)) {
                Paper paper = PaperOf(size);
                bool known = false;
                for (const Paper& had : papers) known = known || had.keyword == paper.keyword;
                if (!known) papers.push_back(paper);
            }
        }
        cups_size_t size{};
        if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size)) {
            *defaultPaper = PaperOf(size).keyword;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    if (papers.empty()) *error = "the queue \"" + queue + "\" names no paper sizes";
    return papers;
}

// A folder has no paper of its own: the common sizes, A4 first.
std::vector<Paper> FolderPapers() {
    return {{"A4", 595, 842}, {"Letter", 612, 792}, {"A3", 842, 1191},
            {"A5", 420, 595}, {"Legal", 612, 1008}, {"Tabloid", 792, 1224}};
}

// Copies the setup where the backend can read it; the copy's name, or empty on failure.
std::string PlaceSetup(const PrinterRequest& request, std::string* error) {
    JobSetup setup;
    SetupReadResult read = ReadSetupFile(request.setup, setup, {.override = true});
    if (!read.opened) {
        *error = "can't read the setup " + request.setup;
        return {};
    }
    for (const std::string& refused : read.refused)
        std::cerr << "velmora-cups: " << refused << "\n";
    std::string folder =
        platform::SettingsFolderOf(platform::InstallationFolder()) + "/velmora/cups";
    std::error_code failed;
    fs::create_directories(folder, failed);
    std::string placed = folder + "/" + request.name + ".plf";
    fs::copy_file(request.setup, placed, fs::copy_options::overwrite_existing, failed);
    if (!failed) {
        fs::permissions(placed,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read,
                        failed);
    }
    if (failed) {
        *error = "can't copy the setup to " + placed + ": " + failed.message();
        return {};
    }
    return placed;
}

}  // namespace

int InstallBackend() {
    std::string serverBin =
        std::getenv("CUPS_SERVERBIN") != nullptr ? std::getenv("CUPS_SERVERBIN") : "/usr/lib/cups";
    std::string program = platform::ProgramFolder() + "/velmora-cups";
    std::string link = serverBin + "/backend/" + kBackendName;
    std::error_code error;
    fs::remove(link, error);
    fs::create_symlink(program, link, error);
    if (error) return Refuse("can't make " + link + ": " + error.message() + " (run it as root)");
    std::cout << "velmora-cups: " << link << " -> " << program << "\n";
    return 0;
}

int AddPrinter(const PrinterRequest& request) {
    if (!IsQueueName(request.name)) return Refuse("\"" + request.name + "\" is no printer name");
    DeviceTarget target;
    std::vector<Paper> papers;
    std::string defaultPaper, error;
    if (!request.to.empty() && request.to[0] == '/') {
        target.kind = DeviceTarget::Kind::Folder;
        papers = FolderPapers();
        defaultPaper = papers.front().keyword;
    } else {
        if (!IsQueueName(request.to)) return Refuse("\"" + request.to + "\" is no queue name");
        papers = QueuePapers(request.to, &defaultPaper, &error);
        if (papers.empty()) return Refuse(error);
    }
    target.name = request.to;
    if (!request.setup.empty()) {
        target.setup = PlaceSetup(request, &error);
        if (target.setup.empty()) return Refuse(error);
    }
    std::string folder = platform::MakePrivateFolder("velmora-ppd-", &error);
    if (folder.empty()) return Refuse("can't make a temporary folder: " + error);
    std::string ppd = folder + "/booklet.ppd";
    std::ofstream(ppd) << BookletPpd("Velmora booklet to " + request.to, papers, defaultPaper);
    platform::RunOptions options;
    options.timeout = std::chrono::minutes(2);
    platform::RunResult run =
        platform::RunAndWait("lpadmin",
                             {"-p", request.name, "-E", "-v", DeviceUri(target), "-P", ppd, "-D",
                              "Booklet to " + request.to, "-o", "printer-is-shared=false"},
                             options);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!run.Succeeded()) return Refuse("lpadmin could not add the printer " + request.name);
    std::cout << "velmora-cups: added printer " << request.name << " (" << DeviceUri(target)
              << ")\n";
    return 0;
}

}  // namespace desktop
