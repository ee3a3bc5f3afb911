// The reader against files made by real producers, checked against what qpdf reads.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "ParserTestSupport.h"
#include "ReaderTestSupport.h"
#include "pdf/CPdfRawText.h"
#include "testing/PdfBuilder.h"
#include "testing/Tools.h"

using namespace testing_support;

namespace {

// A Ghostscript document with text, vector drawing and an image on every page.
std::string GhostscriptPostScript() {
    std::string ps = NumberedPagesPostScript(6);
    std::string image =
        "gsave 300 500 translate 120 120 scale 16 16 8 [16 0 0 16 0 0] "
        "{ <" +
        std::string(512, '7') + "> } image grestore\n";
    size_t at = 0;
    while ((at = ps.find("showpage", at)) != std::string::npos) {
        ps.insert(at, image);
        at += image.size() + 8;
    }
    return ps;
}

class RealFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = new ScratchDir;
        std::string gs = s_dir->File("gs.pdf");
        PdfFromPostScript(GhostscriptPostScript(), gs);
        s_files = {gs, SourceDir() + "/samples/sample.pdf"};
        for (const char* variant : {"--object-streams=generate", "--linearize", "--qdf",
                                    "--object-streams=generate --linearize"}) {
            std::string out = s_dir->File("qpdf" + std::to_string(s_files.size()) + ".pdf");
            CommandResult made = testing_support::Run(std::string("qpdf ") + variant + " " +
                                                      ShellQuote(gs) + " " + ShellQuote(out));
            ASSERT_EQ(made.exitCode, 0) << made.output;
            s_files.push_back(out);
        }
        // Incremental updates over a classic table and over a cross-reference stream.
        for (const std::string& base : {s_files[0], s_files[2]}) {
            std::string out = s_dir->File("update" + std::to_string(s_files.size()) + ".pdf");
            CPdfDocument original;
            original.Open(base);
            int size = original.GetXRef().GetSize();
            int root = original.GetXRef().GetRootNum();
            original.Close();
            WriteWholeFile(out, PdfBuilder::AppendUpdate(ReadWholeFile(base),
                                                         {{size, "<< /Added (by an update) >>"}},
                                                         "/Root " + std::to_string(root) + " 0 R"));
            s_files.push_back(out);
        }
        // Bytes before the header.
        std::string prefixed = s_dir->File("prefixed.pdf");
        WriteWholeFile(prefixed, std::string(100, '#') + "\n" + ReadWholeFile(gs));
        s_files.push_back(prefixed);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }

    static ScratchDir* s_dir;
    static std::vector<std::string> s_files;
};

ScratchDir* RealFiles::s_dir = nullptr;
std::vector<std::string> RealFiles::s_files;

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.insert(line);
    }
    return lines;
}

std::string DescribeEntry(int number, const CPdfXRefEntry& e) {
    if (e.type == CPdfXRefEntry::kCompressed) {
        return std::to_string(number) + "/0: compressed; stream = " + std::to_string(e.offset) +
               ", index = " + std::to_string(e.generation);
    }
    return std::to_string(number) + "/" + std::to_string(e.generation) +
           ": uncompressed; offset = " + std::to_string(e.offset);
}

std::string DescribeObject(int number, const CPdfObject& o) {
    std::string kind = o.IsStream()  ? "stream"
                       : o.IsDict()  ? "dict"
                       : o.IsArray() ? "array"
                                     : "value";
    std::string keys;
    if (o.IsStream() || o.IsDict()) {
        for (const auto& [key, value] : o.GetDict().Entries())
            keys += (keys.empty() ? "" : ",") + key;
    }
    return std::to_string(number) + " " + kind + " " + keys;
}

TEST_F(RealFiles, TablesMatchWhatQpdfReads) {
    for (const std::string& path : s_files) {
        pdf_test::OpenedBytes opened(ReadWholeFile(path));
        std::set<std::string> ours;
        const auto& entries = opened.XRef().GetEntries();
        for (size_t n = 1; n < entries.size(); ++n) {
            if (entries[n].type != CPdfXRefEntry::kFree)
                ours.insert(DescribeEntry(static_cast<int>(n), entries[n]));
        }
        std::set<std::string> theirs;
        for (const std::string& line :
             Lines(testing_support::Run("qpdf --show-xref " + ShellQuote(path)).output)) {
            if (line.find("compressed;") != std::string::npos) theirs.insert(line);
        }
        EXPECT_EQ(ours, theirs) << path;
    }
}

TEST_F(RealFiles, EveryObjectResolvesAsQpdfReadsIt) {
    for (const std::string& path : s_files) {
        pdf_test::OpenedBytes opened(ReadWholeFile(path));
        CPdfXRef& xref = opened.XRef();
        std::set<std::string> ours;
        for (int n = 1; n < xref.GetSize(); ++n) {
            const CPdfXRefEntry& e = xref.GetEntries()[static_cast<size_t>(n)];
            if (e.type == CPdfXRefEntry::kFree) continue;
            CPdfObject o = xref.Resolve(n, e.type == CPdfXRefEntry::kInUse ? e.generation : 0);
            EXPECT_FALSE(o.IsNull()) << path << " object " << n;
            ours.insert(DescribeObject(n, o));
        }
        CommandResult theirs = testing_support::Run(
            "python3 " + ShellQuote(SourceDir() + "/pdf/tests/qpdf_objects.py") + " " +
            ShellQuote(path));
        ASSERT_EQ(theirs.exitCode, 0) << theirs.output;
        for (const std::string& line : Lines(theirs.output))
            EXPECT_TRUE(ours.count(line)) << path << ": " << line;
    }
}

TEST_F(RealFiles, RawTextsHoldTheirObjects) {
    for (const std::string& path : s_files) {
        pdf_test::OpenedBytes opened(ReadWholeFile(path));
        CPdfXRef& xref = opened.XRef();
        for (int n = 1; n < xref.GetSize(); ++n) {
            const CPdfXRefEntry& e = xref.GetEntries()[static_cast<size_t>(n)];
            if (e.type == CPdfXRefEntry::kFree) continue;
            std::optional<std::string> raw = GetRawObjectText(xref, n);
            ASSERT_TRUE(raw) << path << " object " << n;
            std::string header =
                std::to_string(n) + " " +
                std::to_string(e.type == CPdfXRefEntry::kInUse ? e.generation : 0) + " obj";
            EXPECT_EQ(raw->rfind(header, 0), 0u) << path << " object " << n;
            EXPECT_NE(raw->find("endobj", raw->size() - 8), std::string::npos)
                << path << " object " << n;

            pdf_test::TextParser text(*raw, false, &xref);
            for (int k = 0; k < 3; ++k) text.parser.GetObject();
            CPdfObject fromRaw = text.parser.GetObject();
            CPdfObject resolved =
                xref.Resolve(n, e.type == CPdfXRefEntry::kInUse ? e.generation : 0);
            EXPECT_EQ(DescribeObject(n, fromRaw), DescribeObject(n, resolved)) << path;
        }
    }
}

TEST_F(RealFiles, EncryptedFilesAreRefused) {
    std::string encrypted = s_dir->File("encrypted.pdf");
    CommandResult made = testing_support::Run("qpdf --encrypt user owner 256 -- " +
                                              ShellQuote(s_files[0]) + " " + ShellQuote(encrypted));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_EQ(pdf_test::OpenFailure(ReadWholeFile(encrypted)), "PDF file is encrypted");
}

}  // namespace
