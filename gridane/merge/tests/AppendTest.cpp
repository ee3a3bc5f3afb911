#include "gridane/merge/AppendDocuments.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "MergeFixtures.h"
#include "pdf/CPdfException.h"
#include "platform/File.h"
#include "testing/FailingDisk.h"
#include "testing/PdfBuilder.h"
#include "testing/RecordingSink.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;
using gridane_test::CountInReachableObjects;
using gridane_test::FixtureOptions;
using gridane_test::MakeFixturePdf;
using gridane_test::PageDifference;

constexpr double kSamePage = 2.0;

std::string AppendMessage(const std::string& a, const std::string& b, const std::string& out) {
    try {
        AppendDocuments(a, b, out);
    } catch (const CPdfException& e) {
        return e.GetMessage();
    }
    return "";
}

// Checks that `out` holds the pages of `a` followed by those of `b`, renders alike and passes
// qpdf --check.
void ExpectPagesOf(const std::string& out, const std::string& a, int pagesA, const std::string& b,
                   int pagesB) {
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(out, &report)) << report;
    ASSERT_EQ(PageCount(out), pagesA + pagesB);
    for (int p = 1; p <= pagesA; ++p) {
        EXPECT_LT(PageDifference(out, p, a, p), kSamePage) << "page " << p;
    }
    for (int p = 1; p <= pagesB; ++p) {
        EXPECT_LT(PageDifference(out, pagesA + p, b, p), kSamePage) << "page " << pagesA + p;
    }
}

// Runs qpdf with `arguments` and expects success.
void Qpdf(const std::string& arguments) {
    CommandResult result = testing_support::Run("qpdf " + arguments);
    EXPECT_EQ(result.exitCode, 0) << result.output;
}

// The number of outline items titled "P page N" that qpdf finds in `pdf`.
long OutlineItems(const std::string& pdf) {
    CommandResult json = testing_support::Run("qpdf --json --json-key=outlines " + ShellQuote(pdf));
    EXPECT_EQ(json.exitCode, 0) << json.output;
    std::regex title("\"title\": \"P page [0-9]\"");
    return std::distance(std::sregex_iterator(json.output.begin(), json.output.end(), title),
                         std::sregex_iterator());
}

class AppendTest : public ::testing::Test {
  protected:
    ScratchDir dir;
    std::string in = dir.File("in.pdf");
    std::string out = dir.File("out.pdf");
};

TEST_F(AppendTest, SelfAppendSharesEveryResource) {
    FixtureOptions options;
    options.pages = 3;
    options.links = true;
    MakeFixturePdf(options, in);
    ASSERT_EQ(AppendMessage(in, in, out), "");
    ExpectPagesOf(out, in, 3, in, 3);
    // Fonts, font programs, images and content streams exist once; pages twice.
    for (const char* needle : {"/Type /Font", "/FontFile", "/Subtype /Image"}) {
        EXPECT_EQ(CountInReachableObjects(out, needle), CountInReachableObjects(in, needle))
            << needle;
    }
    EXPECT_EQ(CountInReachableObjects(out, "/Type /Page\n"),
              2 * CountInReachableObjects(in, "/Type /Page\n"));
    EXPECT_EQ(CountInReachableObjects(out, "/Subtype /Link"), 6);
}

TEST_F(AppendTest, DifferentDocumentsKeepTheirOwnResources) {
    // Ghostscript numbers objects and names resources alike in both files, so equal texts
    // stand for different fonts and images; the second document must still draw its own.
    FixtureOptions a;
    a.pages = 2;
    FixtureOptions b;
    b.pages = 3;
    b.fonts = "Courier Times-Bold";
    b.label = "Q";
    b.image = false;
    std::string second = dir.File("second.pdf");
    MakeFixturePdf(a, in);
    MakeFixturePdf(b, second);
    ASSERT_EQ(AppendMessage(in, second, out), "");
    ExpectPagesOf(out, in, 2, second, 3);
}

TEST_F(AppendTest, HeaderTakesTheLargerMinorVersion) {
    std::string older = dir.File("older.pdf");
    std::string newer = dir.File("newer.pdf");
    MakeFixturePdf(FixtureOptions{}, in);
    Qpdf("--force-version=1.3 " + ShellQuote(in) + " " + ShellQuote(older));
    Qpdf("--force-version=1.6 " + ShellQuote(in) + " " + ShellQuote(newer));
    ASSERT_EQ(AppendMessage(older, newer, out), "");
    EXPECT_EQ(ReadWholeFile(out).substr(0, 8), "%PDF-1.6");
    ASSERT_EQ(AppendMessage(newer, older, out), "");
    EXPECT_EQ(ReadWholeFile(out).substr(0, 8), "%PDF-1.6");
}

TEST_F(AppendTest, OutlinesAreChained) {
    FixtureOptions options;
    options.outlines = true;
    MakeFixturePdf(options, in);
    ASSERT_EQ(AppendMessage(in, in, out), "");
    ExpectPagesOf(out, in, 3, in, 3);
    // Walking the outline from /First along /Next reaches all six items, and /Last is the
    // second copy's last item.
    EXPECT_EQ(OutlineItems(out), 6);
}

TEST_F(AppendTest, OutlinesOfTheSecondDocumentOnly) {
    std::string second = dir.File("second.pdf");
    MakeFixturePdf(FixtureOptions{}, in);
    FixtureOptions withOutlines;
    withOutlines.outlines = true;
    MakeFixturePdf(withOutlines, second);
    ASSERT_EQ(AppendMessage(in, second, out), "");
    ExpectPagesOf(out, in, 3, second, 3);
    EXPECT_EQ(OutlineItems(out), 3);
}

TEST_F(AppendTest, ObjectStreamsBecomePlainObjects) {
    std::string packed = dir.File("packed.pdf");
    MakeFixturePdf(FixtureOptions{}, in);
    Qpdf("--object-streams=generate " + ShellQuote(in) + " " + ShellQuote(packed));
    ASSERT_EQ(AppendMessage(packed, packed, out), "");
    ExpectPagesOf(out, in, 3, in, 3);
    std::string text = ReadWholeFile(out);
    EXPECT_EQ(text.find("ObjStm"), std::string::npos);
    EXPECT_EQ(text.find("/XRef"), std::string::npos);
}

// Adds an incremental update to `pdf` that replaces the first page's content stream by a
// drawing of a black square.
void AddContentUpdate(const std::string& pdf) {
    std::string text = ReadWholeFile(pdf);
    CommandResult pages = testing_support::Run("qpdf --show-pages " + ShellQuote(pdf));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(pages.output, m, std::regex("content:\\s+(\\d+) 0 R")))
        << pages.output;
    int contents = std::stoi(m[1]);
    std::smatch trailer;
    ASSERT_TRUE(std::regex_search(text, trailer, std::regex("/Root (\\d+) 0 R")));
    std::string root = trailer[1];
    ASSERT_TRUE(std::regex_search(text, trailer, std::regex("/Size (\\d+)")));
    std::string size = trailer[1];
    size_t startxref = text.rfind("startxref");
    std::string prev =
        text.substr(startxref + 10, text.find('\n', startxref + 10) - startxref - 10);

    std::string drawing = "0 0 0 rg 100 100 300 300 re f\n";
    std::string update = "\n" + std::to_string(contents) + " 0 obj\n<< /Length " +
                         std::to_string(drawing.size()) + " >>\nstream\n" + drawing +
                         "endstream\nendobj\n";
    size_t objectOffset = text.size() + 1;
    size_t xref = text.size() + update.size();
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", objectOffset);
    update += "xref\n" + std::to_string(contents) + " 1\n" + entry + "trailer\n<< /Size " + size +
              " /Root " + root + " 0 R /Prev " + prev + " >>\nstartxref\n" + std::to_string(xref) +
              "\n%%EOF\n";
    WriteWholeFile(pdf, text + update);
}

TEST_F(AppendTest, IncrementalUpdatesTakeTheLatestObjects) {
    std::string plain = dir.File("plain.pdf");
    MakeFixturePdf(FixtureOptions{}, in);
    Qpdf("--object-streams=disable " + ShellQuote(in) + " " + ShellQuote(plain));
    AddContentUpdate(plain);
    ASSERT_TRUE(QpdfCheck(plain));
    ASSERT_EQ(AppendMessage(plain, plain, out), "");
    ExpectPagesOf(out, plain, 3, plain, 3);
    EXPECT_GT(PageDifference(out, 1, in, 1), kSamePage);  // the update's square is drawn
}

TEST_F(AppendTest, LengthObjectsReferredToElsewhereAreKept) {
    // Stream 4 keeps its length in object 5, which the page's /Lengths entry also names; stream
    // 6's length object 7 is named by nothing else.
    std::string drawing = "0 0 0 rg 100 100 300 300 re f\n";
    std::string size = std::to_string(drawing.size());
    PdfBuilder pdf;
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.Object(3,
               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents [4 0 R 6 0 R] "
               "/Lengths [5 0 R] >>");
    pdf.Object(4, "<< /Length 5 0 R >>\nstream\n" + drawing + "endstream");
    pdf.Object(5, size);
    pdf.Object(6, "<< /Length 7 0 R >>\nstream\n" + drawing + "endstream");
    pdf.Object(7, size);
    WriteWholeFile(in, pdf.BuildWithTable("/Root 1 0 R"));
    ASSERT_EQ(AppendMessage(in, in, out), "");
    ExpectPagesOf(out, in, 1, in, 1);
    std::string text = ReadWholeFile(out);
    EXPECT_NE(text.find("\n5 0 obj"), std::string::npos);
    EXPECT_EQ(text.find("\n7 0 obj"), std::string::npos);
    EXPECT_NE(text.find("<< /Length " + size + " >>"), std::string::npos);
}

TEST_F(AppendTest, BadInputsGetTheirMessages) {
    MakeFixturePdf(FixtureOptions{}, in);
    std::string missing = dir.File("missing.pdf");
    EXPECT_EQ(AppendMessage(missing, in, out), "File1 open error: '" + missing + "'");
    EXPECT_EQ(AppendMessage(in, missing, out), "File2 open error: '" + missing + "'");
    std::string noFolder = dir.File("no/such/folder/out.pdf");
    EXPECT_EQ(AppendMessage(in, in, noFolder), "File output error: '" + noFolder + "'");

    // The output may not replace an input, and the input stays as it was.
    std::string before = ReadWholeFile(in);
    EXPECT_EQ(AppendMessage(in, in, in), "File output error: '" + in + "'");
    EXPECT_EQ(ReadWholeFile(in), before);
}

TEST_F(AppendTest, FailingDiskLeavesTheEarlierOutputAndNoPartialFile) {
    MakeFixturePdf(FixtureOptions{}, in);
    std::string whole = dir.File("whole.pdf");
    ASSERT_EQ(AppendMessage(in, in, whole), "");
    const int64_t size = static_cast<int64_t>(ReadWholeFile(whole).size());
    platform::RemoveFile(whole);
    WriteWholeFile(out, "earlier output");
    const std::vector<std::string> before = FileNamesIn(dir.Path());
    // The header, an object in the middle, the last byte of the table.
    for (int64_t accepted : {int64_t{0}, int64_t{10}, size / 2, size - 1}) {
        ScopedFileSizeLimit disk(static_cast<rlim_t>(accepted));
        EXPECT_EQ(AppendMessage(in, in, out), "File output error: '" + out + "'") << accepted;
        EXPECT_EQ(ReadWholeFile(out), "earlier output") << accepted;
        EXPECT_EQ(FileNamesIn(dir.Path()), before) << accepted;
    }
    ASSERT_EQ(AppendMessage(in, in, out), "");
    ExpectPagesOf(out, in, 3, in, 3);
}

TEST_F(AppendTest, AppendsOnTwoThreadsKeepTheirOwnFiles) {
    FixtureOptions a;
    a.pages = 2;
    FixtureOptions b;
    b.pages = 3;
    b.label = "Q";
    std::string second = dir.File("second.pdf");
    MakeFixturePdf(a, in);
    MakeFixturePdf(b, second);
    std::string outA = dir.File("a-out.pdf"), outB = dir.File("b-out.pdf");
    std::string messageA = "not run", messageB = "not run";
    // Each thread appends several times, so that the runs overlap in every step.
    std::thread first([&] {
        for (int i = 0; i < 4 && (messageA = AppendMessage(in, second, outA)).empty(); ++i) {
        }
    });
    std::thread other([&] {
        for (int i = 0; i < 4 && (messageB = AppendMessage(second, in, outB)).empty(); ++i) {
        }
    });
    first.join();
    other.join();
    EXPECT_EQ(messageA, "");
    EXPECT_EQ(messageB, "");
    ExpectPagesOf(outA, in, 2, second, 3);
    ExpectPagesOf(outB, second, 3, in, 2);
}

TEST_F(AppendTest, DamagedInputsFailCleanly) {
    MakeFixturePdf(FixtureOptions{}, in);
    std::string whole = ReadWholeFile(in);
    struct Damage {
        const char* name;
        std::string bytes;
    };
    const Damage damages[] = {
        {"Empty", ""},
        {"NotPdf", "hello, this is not a PDF file\n"},
        {"CutInHalf", whole.substr(0, whole.size() / 2)},
        {"NoTrailer", whole.substr(0, whole.rfind("trailer"))},
        {"Garbled",
         [&] {
             std::string g = whole;
             for (size_t i = 200; i < g.size(); i += 97) g[i] = '#';
             return g;
         }()},
    };
    for (const Damage& damage : damages) {
        std::string bad = dir.File(std::string(damage.name) + ".pdf");
        WriteWholeFile(bad, damage.bytes);
        // Either a clear failure, or an output a reader accepts; never a crash.
        platform::RemoveFile(out);
        std::string message = AppendMessage(bad, bad, out);
        if (message.empty()) {
            EXPECT_TRUE(QpdfCheck(out)) << damage.name;
        } else {
            EXPECT_FALSE(platform::FileExists(out)) << damage.name;
        }
        // The pre-passes' entry reports a failure as a warning instead of raising it.
        RecordingSink sink;
        bool appended = AppendForPrePass(bad, in, dir.File("temp_out.pdf"), &sink);
        EXPECT_FALSE(appended && message != "") << damage.name;
        EXPECT_EQ(sink.warnings.size(), appended ? 0u : 1u) << damage.name;
        if (!appended && !sink.warnings.empty()) {
            EXPECT_FALSE(sink.warnings[0].empty());
        }
    }
}

}  // namespace
}  // namespace gridane
