#include "manual/ProgramManual.h"

#include "com/EngineCommand.h"
#include "com/regsvr/RegsvrOptions.h"
#include "desktop/core/CommandLine.h"
#include "desktop/cups/CupsOptions.h"
#include "gridane/GridaneCommand.h"
#include "paper/PaperTable.h"
#include "scanvey/ScanveyOptions.h"
#include "turnelle/TurnelleCommand.h"

namespace manual {
namespace {

using platform::OptionValue;

platform::OptionValue ValueOf(const com::EngineCommand& command,
                              const com::PropertyContract& property) {
    for (const com::PropertyValueKind& kind : command.valueKinds) {
        if (kind.property == property.name) return kind.value;
    }
    switch (property.kind) {
        case com::PropertyKind::Flag:
            return OptionValue::None;  // a bare --NAME puts 1
        case com::PropertyKind::Integer:
            return OptionValue::Number;
        case com::PropertyKind::Text:
            return OptionValue::Text;
    }
    return OptionValue::Text;
}

// An engine command's page: one option per property of its contract, as --help lists them.
ProgramManual EngineManual(const com::EngineCommand& command, std::string purpose) {
    ProgramManual page;
    page.name = command.program;
    page.purpose = std::move(purpose);
    page.synopsis = "[--NAME=VALUE ...] INPUT OUTPUT";
    if (!command.printOption.empty()) {
        page.synopsis += " | --" + std::string(command.printOption) + " [--NAME=VALUE ...] INPUT";
    }
    page.description = std::string(command.summary) +
                       "Every option puts one setting of the engine; a bare --NAME puts 1.\n";
    page.valueSeparator = "=";
    for (const com::PropertyContract& property : command.contract.properties) {
        std::string text(property.meaning);
        text += " (default " +
                (property.defaultText.empty() ? std::string("empty")
                                              : std::string(property.defaultText)) +
                ")";
        page.options.push_back({"--" + std::string(property.name),
                                std::string(com::OptionArgument(property)), text, "",
                                ValueOf(command, property)});
    }
    page.options.push_back({"--help", "", "print the options with their defaults", ""});
    page.options.push_back({"--version", "", "print the version", ""});
    page.options.push_back({"--", "", "every argument after it is a name (INPUT, OUTPUT)", ""});
    page.options.push_back(
        {"INPUT", "", "the input file, or a .txt list of them", "", OptionValue::File, true});
    // The epilogue's last line is the exit status; the lines before it describe the lists.
    std::string epilogue(command.epilogue);
    size_t status = epilogue.rfind("Exit status:");
    page.description += "\n" + epilogue.substr(0, status);
    if (status != std::string::npos) page.exitStatus = epilogue.substr(status);
    return page;
}

ProgramManual VelmoradeManual() {
    ProgramManual page;
    page.name = "velmorade";
    page.purpose = "impose PDF files with a window or from the command line";
    page.synopsis = "[OPTION | NAME]...";
    page.description = std::string(desktop::UsageSummary()) +
                       "\nThe settings of a job are kept in setup files (see velmora-setup(5)); "
                       "the program's own\nDefault.plf, conversion.ini and default.lst live in "
                       "the working folder when\nDefault.plf or conversion.ini is there, else in "
                       "$XDG_CONFIG_HOME/velmora.\n";
    page.valueSeparator = " ";
    page.AddOptions(desktop::CommandLineOptions());
    page.exitStatus = desktop::ExitStatusText();
    return page;
}

ProgramManual ScanveyManual() {
    ProgramManual page;
    page.name = "scanvey";
    page.purpose = "turn image files into PDF, one page per image";
    page.synopsis = "-iINPUT -oOUTPUT [-dDPI] [-wPT -hPT [-fN] [-aN]]";
    page.description =
        "Writes a PDF file with one page for each image of INPUT (a multi-page TIFF gives\n"
        "several pages). Each value follows its option letter without a blank.\n";
    page.valueSeparator = "";
    page.AddOptions(ScanveyOptionHelp());
    page.exitStatus = "Exit status: 0 done, else the conversion's result code.\n";
    return page;
}

ProgramManual RegsvrManual() {
    ProgramManual page;
    page.name = "regsvr";
    page.purpose = "register component server modules";
    page.synopsis = "[-u] [-s] MODULE...";
    page.description = std::string(regsvr::kSummary);
    page.valueSeparator = " ";
    page.AddOptions(regsvr::kOptions);
    page.exitStatus =
        "Exit status: 0 when every module was (un)registered, 1 when one failed,\n"
        "2 for a wrong command line.\n";
    return page;
}

ProgramManual CupsManual() {
    ProgramManual page;
    page.name = "velmora-cups";
    page.purpose = "print booklets from any program's print dialog";
    page.synopsis = "--install | --add-printer NAME --to QUEUE|/FOLDER [--setup FILE.plf]";
    page.description =
        "The print server's backend \"velmora\": a printer using it imposes every job it gets\n"
        "(PDF or PostScript) and sends the result to a real print queue, or writes it into a\n"
        "folder. Started by the print server with a job's arguments, it prints that job; a job\n"
        "that cannot be imposed is cancelled with the reason in its state.\n"
        "\nThe package links the backend itself; after a source installation run --install\n"
        "once, as root.\n";
    page.valueSeparator = " ";
    page.AddOptions(desktop::kCupsOptions);
    page.exitStatus =
        "Exit status: 0 done, 1 the command failed (its reason is printed), 2 for a wrong\n"
        "command line.\n";
    return page;
}

}  // namespace

void ProgramManual::AddOptions(std::span<const platform::OptionHelp> table) {
    for (const platform::OptionHelp& row : table) {
        options.push_back({std::string(row.option), std::string(row.argument),
                           std::string(row.text), std::string(row.example), row.value,
                           row.isArgument});
    }
}

std::vector<ProgramManual> SuiteManuals() {
    std::vector<ProgramManual> pages;
    pages.push_back(VelmoradeManual());
    pages.push_back(
        EngineManual(gridane::GridaneCommand(), "impose the pages of PDF files on sheets"));
    pages.push_back(EngineManual(turnelle::TurnelleCommand(), "rotate pages of PDF files"));
    pages.push_back(ScanveyManual());
    pages.push_back(RegsvrManual());
    pages.push_back(CupsManual());
    return pages;
}

std::vector<std::string_view> SheetPaperNames() {
    return paper::PaperNames();
}

}  // namespace manual
