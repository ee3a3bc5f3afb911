// The cleaning scripts on files of real producers: what they keep, names they must not
// interpret, and failures that must leave no target behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ParameterText.h"
#include "platform/RunAndWait.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace {

using namespace testing_support;

std::string Script(const char* name) {
    return BuildDir() + "/bin/" + name;
}

// Two text pages with a link on page 1 and a crop box inside the media box.
std::string LinkedPostScript() {
    return "%!PS\n<< /PageSize [612 792] >> setpagedevice\n"
           "[ /CropBox [20 30 590 770] /PAGES pdfmark\n"
           "/Helvetica findfont 24 scalefont setfont\n"
           "72 700 moveto (First page words) show\n"
           "[ /Rect [72 690 300 730] /Border [0 0 0] /Action << /Subtype /URI /URI "
           "(https://example.org/velmora) >> /Subtype /Link /ANN pdfmark\nshowpage\n"
           "/Helvetica findfont 24 scalefont setfont\n"
           "72 700 moveto (Second page words) show showpage\n";
}

struct Inputs {
    ScratchDir dir;
    std::string ghostscript = dir.File("gs.pdf");
    std::string objectStreams = dir.File("qpdf objstm.pdf");
    std::string cairo = dir.File("cairo.pdf");

    Inputs() {
        PdfFromPostScript(LinkedPostScript(), ghostscript);
        MustRun("qpdf --object-streams=generate " + ShellQuote(ghostscript) + " " +
                ShellQuote(objectStreams));
        MustRun("pdftocairo -pdf " + ShellQuote(ghostscript) + " " + ShellQuote(cairo));
    }
};

platform::RunResult Clean(const char* script, const std::string& source,
                          const std::string& target) {
    // The desktop program passes the two names as a parameter text, each in quotes.
    std::string text = platform::QuoteArgument(source) + " " + platform::QuoteArgument(target);
    return platform::RunAndWait(Script(script), text);
}

std::string Boxes(const std::string& pdf) {
    CommandResult result =
        testing_support::Run("pdfinfo -box " + ShellQuote(pdf) + " | grep -E 'MediaBox|CropBox'");
    return result.output;
}

TEST(CleaningScripts, KeepPagesBoxesTextAndLinksOfEveryProducer) {
    Inputs inputs;
    for (const std::string& input : {inputs.ghostscript, inputs.objectStreams, inputs.cairo}) {
        for (const char* script : {"koblin", "koblinp"}) {
            SCOPED_TRACE(input + " through " + script);
            std::string target = inputs.dir.File(std::string("clean-") + script + ".pdf");
            ASSERT_TRUE(Clean(script, input, target).Succeeded());
            EXPECT_TRUE(QpdfCheckClean(target));
            EXPECT_EQ(PageCount(target), 2);
            EXPECT_EQ(Boxes(target), Boxes(input));
            EXPECT_EQ(PageText(target, 1), "First page words");
            EXPECT_EQ(PageText(target, 2), "Second page words");
            std::string qdf = testing_support::Run("qpdf --qdf --object-streams=disable " +
                                                   ShellQuote(target) + " -")
                                  .output;
            bool inputHasLink = testing_support::Run("qpdf --qdf --object-streams=disable " +
                                                     ShellQuote(input) + " - | grep -c /URI")
                                    .exitCode == 0;
            EXPECT_EQ(qdf.find("https://example.org/velmora") != std::string::npos, inputHasLink);
        }
    }
}

TEST(CleaningScripts, PrepressEmbedsEveryFont) {
    Inputs inputs;
    std::string target = inputs.dir.File("prepress.pdf");
    ASSERT_TRUE(Clean("koblinp", inputs.ghostscript, target).Succeeded());
    // The "emb" column of every font: the fifth field from the end.
    std::string embedded = testing_support::Run("pdffonts " + ShellQuote(target) +
                                                " | tail -n +3 | awk '{print $(NF-4)}'")
                               .output;
    EXPECT_FALSE(embedded.empty());
    EXPECT_EQ(embedded.find("no"), std::string::npos) << embedded;
}

TEST(CleaningScripts, HostileNamesAreTakenLiterally) {
    Inputs inputs;
    // Bytes that are not UTF-8 (Latin-1 e-acute and u-umlaut) too, which Ghostscript itself
    // would drop from a name.
    std::string folder = inputs.dir.File("d$(touch pwned) `id`; \"q\" %d \xC3\xA9 \xE9");
    std::filesystem::create_directory(folder);
    std::string source = folder + "/in 'a' \"b\" $(x) `y`; %s \xE9.pdf";
    std::string target = folder + "/out \"c\" $(touch z); `w` %03d \xC3\xBC \xFC.pdf";
    std::filesystem::copy_file(inputs.ghostscript, source);
    ASSERT_TRUE(Clean("koblin", source, target).Succeeded());
    EXPECT_EQ(PageCount(target), 2);
    size_t entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder)) ++entries, (void)entry;
    EXPECT_EQ(entries, 2u);
    EXPECT_FALSE(std::filesystem::exists(inputs.dir.File("pwned")));
}

// Runs the script in `folder` with relative names, as a user's working folder gives them.
platform::RunResult CleanIn(const std::string& folder, const char* script,
                            const std::vector<std::string>& arguments) {
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    platform::RunResult result = platform::RunAndWait(Script(script), arguments);
    std::filesystem::current_path(before);
    return result;
}

TEST(CleaningScripts, NamesThatLookLikeOptionsOrArgumentFilesAreOnlyFiles) {
    Inputs inputs;
    std::string folder = inputs.dir.File("work");
    std::filesystem::create_directory(folder);
    // A "PDF" whose first line would be read as further Ghostscript arguments from "@x.pdf".
    std::string marker = folder + "/pwned";
    WriteWholeFile(folder + "/@x.pdf",
                   "-dNOSAFER -c (%pipe%touch " + marker + ") .runpdfbegin\n%PDF-1.4\n");
    const std::vector<std::string> sources = {"-sOutputFile=x out.pdf", "--y.pdf", "-dNOSAFER.pdf",
                                              "%pipe%touch z.pdf", "-s%d.pdf"};
    const std::vector<std::string> targets = {"-sOut.pdf", "@t.pdf", "%d-t.pdf", "--t.pdf",
                                              "-dBATCH.pdf"};
    for (const std::string& source : sources) {
        std::filesystem::copy_file(inputs.ghostscript, folder + "/" + source);
    }
    for (const char* script : {"koblin", "koblinp"}) {
        for (size_t k = 0; k < sources.size(); ++k) {
            SCOPED_TRACE(std::string(script) + " " + sources[k] + " -> " + targets[k]);
            // With the end-of-options marker the desktop program gives, and without it.
            std::vector<std::string> names = {sources[k], targets[k]};
            if (k % 2 == 0) names.insert(names.begin(), "--");
            ASSERT_TRUE(CleanIn(folder, script, names).Succeeded());
            EXPECT_EQ(PageCount(folder + "/" + targets[k]), 2);
        }
        EXPECT_FALSE(CleanIn(folder, script, {"--", "@x.pdf", "out.pdf"}).Succeeded());
        EXPECT_FALSE(CleanIn(folder, script, {"@x.pdf", "out.pdf"}).Succeeded());
        EXPECT_FALSE(std::filesystem::exists(marker));
    }
    // Nothing was written under any other name (such as "x out.pdf").
    size_t entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder)) ++entries, (void)entry;
    EXPECT_EQ(entries, 1 + sources.size() + targets.size());
}

TEST(CleaningScripts, FailuresLeaveNoTargetAndKeepAnExistingOne) {
    ScratchDir dir;
    std::string target = dir.File("target.pdf");
    std::string notPdf = dir.File("notes.pdf");
    WriteWholeFile(notPdf, "(not a pdf) print quit\n");
    std::string truncated = dir.File("truncated.pdf");
    WriteWholeFile(truncated, "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >>");

    for (const std::string& source : {notPdf, truncated, dir.File("missing.pdf")}) {
        platform::RunResult result = Clean("koblin", source, target);
        EXPECT_EQ(result.outcome, platform::RunOutcome::Exited);
        EXPECT_NE(result.exitCode, 0) << source;
        EXPECT_FALSE(std::filesystem::exists(target)) << source;
    }
    WriteWholeFile(target, "kept");
    EXPECT_FALSE(Clean("koblin", truncated, target).Succeeded());
    EXPECT_EQ(ReadWholeFile(target), "kept");
    size_t entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries, (void)entry;
    EXPECT_EQ(entries, 3u);  // no partial file left beside the target
    EXPECT_EQ(platform::RunAndWait(Script("koblin"), std::vector<std::string>{notPdf}).exitCode, 2);
}

}  // namespace
