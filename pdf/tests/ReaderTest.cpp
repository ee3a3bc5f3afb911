#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "ReaderTestSupport.h"
#include "pdf/CPdfRawText.h"
#include "testing/PdfBuilder.h"

using pdf_test::OpenedBytes;
using pdf_test::OpenFailure;
using testing_support::Deflate;
using testing_support::PdfBuilder;

namespace {

PdfBuilder MinimalPages() {
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
        .Object(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
    return b;
}

const std::string kRoot = "/Root 1 0 R";

TEST(Reader, OpensAClassicTableAndResolvesObjects) {
    OpenedBytes opened(MinimalPages().BuildWithTable(kRoot));
    CPdfXRef& xref = opened.XRef();
    EXPECT_EQ(xref.GetSize(), 4);
    EXPECT_EQ(xref.GetRootNum(), 1);
    EXPECT_EQ(xref.GetInfoNum(), 0);
    CPdfObject pages = xref.GetTrailer().GetDict().Lookup("Root").GetDict().Lookup("Pages");
    EXPECT_TRUE(pages.IsDictOfType("Pages"));
    EXPECT_EQ(pages.GetDict()
                  .Lookup("Kids")
                  .GetArray()
                  .Get(0)
                  .GetDict()
                  .Lookup("MediaBox")
                  .GetArray()
                  .GetLength(),
              4);
}

TEST(Reader, BytesBeforeTheHeaderShiftEveryOffset) {
    PdfBuilder b = MinimalPages();
    b.Prefix(std::string(100, 'J'));
    OpenedBytes opened(b.BuildWithTable(kRoot));
    EXPECT_EQ(opened.XRef().GetHeaderStart(), 100);
    EXPECT_TRUE(opened.XRef().Resolve(3, 0).IsDictOfType("Page"));
    std::optional<std::string> raw = GetRawObjectText(opened.XRef(), 3);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->substr(0, 8), "3 0 obj\n");
}

// `file` with every table offset and the startxref value moved by `delta` bytes.
std::string ShiftOffsets(const std::string& file, long delta) {
    std::string out = file;
    size_t line = out.find("xref\n0 ");
    line = out.find('\n', line + 5) + 1;
    while (out.compare(line, 7, "trailer") != 0) {
        if (out[line + 17] == 'n') {
            char shifted[24];
            std::snprintf(shifted, sizeof shifted, "%010ld",
                          std::stol(out.substr(line, 10)) + delta);
            out.replace(line, 10, std::string(shifted, 10));
        }
        line += 20;
    }
    size_t at = out.rfind("startxref\n") + 10;
    size_t end = out.find('\n', at);
    return out.replace(at, end - at, std::to_string(std::stol(out.substr(at, end - at)) + delta));
}

TEST(Reader, AHeaderBeyondTheSearchWindowLeavesOffsetsFromTheFileStart) {
    PdfBuilder b = MinimalPages();
    b.Prefix(std::string(1100, 'J'));
    OpenedBytes opened(ShiftOffsets(b.BuildWithTable(kRoot), 1100));
    EXPECT_EQ(opened.XRef().GetHeaderStart(), 0);
    EXPECT_TRUE(opened.XRef().Resolve(3, 0).IsDictOfType("Page"));
}

TEST(Reader, TheLastStartxrefWins) {
    std::string file = MinimalPages().BuildWithTable(kRoot);
    std::string withDecoy = file;
    withDecoy.insert(withDecoy.rfind("startxref"), "startxref\n5\n");
    OpenedBytes opened(withDecoy);
    EXPECT_TRUE(opened.XRef().Resolve(1, 0).IsDictOfType("Catalog"));
}

TEST(Reader, IncrementalUpdatesPreferTheNewerSection) {
    std::string base = MinimalPages().BuildWithTable(kRoot + " /Info 9 0 R");
    std::string updated = PdfBuilder::AppendUpdate(
        base, {{3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>"}}, kRoot);
    OpenedBytes opened(updated);
    CPdfObject page = opened.XRef().Resolve(3, 0);
    EXPECT_EQ(page.GetDict().Lookup("MediaBox").GetArray().Get(2).GetInt(), 100);
    // The trailer is the newer one: it has no Info.
    EXPECT_EQ(opened.XRef().GetInfoNum(), 0);
    EXPECT_TRUE(opened.XRef().Resolve(2, 0).IsDictOfType("Pages"));
}

TEST(Reader, PrevGivenAsAReferenceUsesItsNumberAsThePosition) {
    std::string base = MinimalPages().BuildWithTable(kRoot);
    long prev = std::stol(base.substr(base.rfind("startxref") + 9));
    std::string updated = PdfBuilder::AppendUpdate(base, {{4, "(new)"}}, kRoot);
    std::string marker = "/Prev " + std::to_string(prev);
    updated.replace(updated.rfind(marker), marker.size(), "/Prev " + std::to_string(prev) + " 0 R");
    OpenedBytes opened(updated);
    EXPECT_TRUE(opened.XRef().Resolve(1, 0).IsDictOfType("Catalog"));
    EXPECT_EQ(opened.XRef().Resolve(4, 0).GetString(), "new");
}

TEST(Reader, APrevChainThatLoopsEnds) {
    std::string base = MinimalPages().BuildWithTable(kRoot);
    long own = std::stol(base.substr(base.rfind("startxref") + 9));
    std::string looped = base;
    looped.replace(looped.rfind("trailer\n<<"), 10, "trailer\n<< /Prev " + std::to_string(own));
    EXPECT_EQ(OpenFailure(looped), "");
}

// An update whose Prev leads back to itself (or a chain that loops past the base) hides the
// sections it never reaches: their objects are found in the file, the update's still win.
TEST(Reader, APrevChainThatLoopsPastTheBaseFindsTheBaseObjectsInTheFile) {
    std::string base = MinimalPages().BuildWithTable(kRoot);
    long basePrev = std::stol(base.substr(base.rfind("startxref") + 9));
    std::string updated = PdfBuilder::AppendUpdate(
        base, {{3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>"}}, kRoot);
    long own = std::stol(updated.substr(updated.rfind("startxref") + 9));
    const std::string marker = "/Prev " + std::to_string(basePrev);
    OpenedBytes opened(
        updated.replace(updated.rfind(marker), marker.size(), "/Prev " + std::to_string(own)));
    EXPECT_TRUE(opened.XRef().Resolve(1, 0).IsDictOfType("Catalog"));
    EXPECT_TRUE(opened.XRef().Resolve(2, 0).IsDictOfType("Pages"));
    CPdfObject page = opened.XRef().Resolve(3, 0);
    EXPECT_EQ(page.GetDict().Lookup("MediaBox").GetArray().Get(2).GetInt(), 100);
    EXPECT_FALSE(opened.Document().Warnings().Empty());
}

TEST(Reader, FreeEntriesAndOtherGenerationsResolveToNull) {
    PdfBuilder b = MinimalPages();
    b.Object(5, "(five)", 2);
    OpenedBytes opened(b.BuildWithTable(kRoot));
    EXPECT_TRUE(opened.XRef().Resolve(4, 0).IsNull());
    EXPECT_TRUE(opened.XRef().Resolve(5, 0).IsNull());
    EXPECT_EQ(opened.XRef().Resolve(5, 2).GetString(), "five");
}

TEST(Reader, ObjectsAskedForAgainReadTheSameAndStreamsFromTheirStart) {
    PdfBuilder b = MinimalPages();
    b.Stream(4, "", "0123456789");
    b.Object(67, "(sixty-seven)");  // shares the page's place among the kept objects
    b.Object(5, "(five)", 2);
    OpenedBytes opened(b.BuildWithTable(kRoot));
    CPdfXRef& xref = opened.XRef();
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(xref.Resolve(3, 0).IsDictOfType("Page"));
        EXPECT_EQ(xref.Resolve(67, 0).GetString(), "sixty-seven");
        EXPECT_EQ(xref.Resolve(5, 2).GetString(), "five");
        EXPECT_TRUE(xref.Resolve(5, 0).IsNull());
    }
    // Each request for a stream gets a stream of its own, read from its first byte.
    CPdfObject first = xref.Resolve(4, 0);
    ASSERT_TRUE(first.IsStream());
    EXPECT_EQ(first.GetStream().GetChar(), '0');
    EXPECT_EQ(first.GetStream().GetChar(), '1');
    CPdfObject second = xref.Resolve(4, 0);
    ASSERT_TRUE(second.IsStream());
    EXPECT_EQ(second.GetStream().GetChar(), '0');
    EXPECT_EQ(first.GetStream().GetChar(), '2');
}

TEST(Reader, AMisplacedObjectHeaderResolvesToNull) {
    std::string file = MinimalPages().BuildWithTable(kRoot);
    file.replace(file.find("3 0 obj"), 7, "4 0 obj");
    OpenedBytes opened(file);
    EXPECT_TRUE(opened.XRef().Resolve(3, 0).IsNull());
}

TEST(Reader, ObjectNumbersOutsideTheTableAreCorruption) {
    OpenedBytes opened(MinimalPages().BuildWithTable(kRoot));
    for (int number : {-1, 4, 1000}) {
        try {
            opened.XRef().Resolve(number, 0);
            ADD_FAILURE() << number;
        } catch (const CPdfException& e) {
            EXPECT_EQ(e.GetMessage(), "Corrupted PDF file");
            EXPECT_EQ(e.objectNumber, number);
        }
    }
}

TEST(Reader, ALengthThatRefersToItsOwnObjectDoesNotRecurseForever) {
    PdfBuilder b = MinimalPages();
    b.Object(4, "<< /Length 4 0 R >>\nstream\nabc\nendstream");
    OpenedBytes opened(b.BuildWithTable(kRoot));
    CPdfObject o = opened.XRef().Resolve(4, 0);
    // The length is no number: the data runs to the `endstream` keyword.
    ASSERT_TRUE(o.IsStream());
    EXPECT_EQ(ReadStreamBytes(o.GetStream()), "abc");
}

// A length kept in an object the file does not have (or a free one) is found by the keyword
// that ends the data, as readers do, instead of refusing the file as corrupted.
TEST(Reader, ALengthInAMissingObjectEndsAtTheKeyword) {
    PdfBuilder b = MinimalPages();
    b.Object(4, "<< /Length 99 0 R >>\nstream\nabc def\r\nendstream")
        .Object(5, "<< /Length 6 0 R >>\nstream\nx\nendstream")
        .Object(7, "<< /Length 8 0 R >>\nstream\nno end");
    OpenedBytes opened(b.BuildWithTable(kRoot));
    CPdfObject missing = opened.XRef().Resolve(4, 0);
    ASSERT_TRUE(missing.IsStream());
    EXPECT_EQ(ReadStreamBytes(missing.GetStream()), "abc def");
    CPdfObject free = opened.XRef().Resolve(5, 0);
    ASSERT_TRUE(free.IsStream());
    EXPECT_EQ(ReadStreamBytes(free.GetStream()), "x");
    EXPECT_FALSE(opened.XRef().Resolve(7, 0).IsStream());
}

TEST(Reader, IndirectLengthIsResolved) {
    PdfBuilder b = MinimalPages();
    b.Object(4, "<< /Length 5 0 R >>\nstream\nabcdef\nendstream").Object(5, "6");
    OpenedBytes opened(b.BuildWithTable(kRoot));
    CPdfObject o = opened.XRef().Resolve(4, 0);
    ASSERT_TRUE(o.IsStream());
    EXPECT_EQ(ReadStreamBytes(o.GetStream()), "abcdef");
}

// Cross-reference streams.

std::string ObjectStreamFile(std::map<int, std::string> packed,
                             const std::string& extraXRefEntries = "") {
    int first = 0;
    std::string data = PdfBuilder::ObjectStreamData(packed, &first);
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Stream(5,
                "/Type /ObjStm /N " + std::to_string(packed.size()) + " /First " +
                    std::to_string(first) + " /Filter /FlateDecode",
                Deflate(data));
    std::map<int, std::pair<int, int>> where;
    int index = 0;
    for (const auto& [number, text] : packed) where[number] = {5, index++};
    return b.BuildWithXRefStream(6, kRoot + " " + extraXRefEntries, where);
}

const std::map<int, std::string> kPacked = {
    {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
    {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>"},
    {4, "(a string) "}};

TEST(XRefStreams, ObjectsInObjectStreamsResolveAndGiveRawText) {
    OpenedBytes opened(ObjectStreamFile(kPacked));
    CPdfXRef& xref = opened.XRef();
    EXPECT_EQ(xref.GetEntries()[3].type, CPdfXRefEntry::kCompressed);
    EXPECT_TRUE(xref.Resolve(3, 0).IsDictOfType("Page"));
    EXPECT_TRUE(xref.Resolve(3, 1).IsNull());
    EXPECT_EQ(xref.Resolve(4, 0).GetString(), "a string");
    EXPECT_TRUE(xref.Resolve(2, 0).IsDictOfType("Pages"));

    std::optional<std::string> raw = GetRawObjectText(xref, 3);
    ASSERT_TRUE(raw);
    std::string body = kPacked.at(3) + "\n";
    EXPECT_EQ(*raw, "3 0 obj\r" + body + " endobj\r");
    EXPECT_EQ(raw->size(), 1 + body.size() + 15);
}

TEST(XRefStreams, WidthZeroTypeMeansInUseAndIndexPairsAreRead) {
    PdfBuilder b = MinimalPages();
    std::string file = b.BuildWithTable(kRoot);
    // Replace the table by a stream with W [0 2 1] and an odd Index (the last element
    // ignored), listing objects 1 to 3.
    std::string body = file.substr(0, file.find("xref\n"));
    long xref = static_cast<long>(body.size());
    std::string entries;
    for (int n = 1; n <= 3; ++n) {
        long offset = b.OffsetOf(n);
        entries += static_cast<char>(offset >> 8);
        entries += static_cast<char>(offset & 0xFF);
        entries += '\0';
    }
    body += "7 0 obj\n<< /Type /XRef /Size 8 /W [0 2 1] /Index [1 3 99] " + kRoot + " /Length " +
            std::to_string(entries.size()) + " >>\nstream\n" + entries +
            "\nendstream\nendobj\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    OpenedBytes opened(body);
    EXPECT_EQ(opened.XRef().GetSize(), 8);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(opened.XRef().GetEntries()[static_cast<size_t>(n)].type, 1);
    EXPECT_TRUE(opened.XRef().Resolve(3, 0).IsDictOfType("Page"));
}

TEST(XRefStreams, BadPairsInTheObjectStreamHeaderGiveNullForEveryObject) {
    std::string file = ObjectStreamFile(kPacked);
    OpenedBytes good(file);
    // Damage the header: N claims one more pair than the header has.
    std::string damaged = ObjectStreamFile(kPacked);
    size_t at = damaged.find("/N 3");
    damaged.replace(at, 4, "/N 4");
    OpenedBytes opened(damaged);
    EXPECT_TRUE(opened.XRef().Resolve(3, 0).IsNull());
    EXPECT_TRUE(opened.XRef().Resolve(2, 0).IsNull());
}

// Every message of the reader, each from a file damaged in one place.
struct DamagedCase {
    const char* name;
    std::string bytes;
    const char* message;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at == std::string::npos) throw std::logic_error("no " + from);
    return text.replace(at, from.size(), to);
}

std::string WithXRefStreamDict(const std::string& from, const std::string& to) {
    return Replace(ObjectStreamFile(kPacked), from, to);
}

std::vector<DamagedCase> DamagedCases() {
    std::string table = MinimalPages().BuildWithTable(kRoot);
    long xref = std::stol(table.substr(table.rfind("startxref") + 9));
    std::string startxref = "startxref\n" + std::to_string(xref);
    return {
        {"empty", "", "PDF file was damaged"},
        {"no_startxref", Replace(table, "startxref", "startxrex"), "PDF file was damaged"},
        {"startxref_zero", Replace(table, startxref, "startxref\n0"), "PDF file was damaged"},
        {"startxref_beyond_file", Replace(table, startxref, "startxref\n99999999"),
         "Couldn't parse an xref"},
        {"section_is_junk", Replace(table, "xref\n0 4", "junk\n0 4"), "Couldn't parse an xref"},
        {"table_entry_bad", Replace(table, " 00000 n", " 00000 x"), "Couldn't parse an xref table"},
        {"table_header_bad", Replace(table, "xref\n0 4", "xref\n0 (4)"),
         "Couldn't parse an xref table"},
        {"table_cut",
         table.substr(0, table.find("trailer")) + "\nstartxref\n" + std::to_string(xref) +
             "\n%%EOF",
         "Couldn't parse an xref table"},
        {"trailer_not_dict", Replace(table, "trailer\n<<", "trailer\n[ <<"),
         "Trailer dictionary is wrong type"},
        {"no_root", Replace(table, "/Root 1 0 R", "/Roof 1 0 R"), "PDF file was damaged"},
        {"root_direct", Replace(table, "/Root 1 0 R", "/Root << >>"), "PDF file was damaged"},
        {"encrypted_indirect", Replace(table, "/Root 1 0 R", "/Root 1 0 R /Encrypt 2 0 R"),
         "PDF file is encrypted"},
        {"encrypted_direct",
         Replace(table, "/Root 1 0 R", "/Root 1 0 R /Encrypt << /Filter /Standard >>"),
         "PDF file is encrypted"},
        {"huge_subsection", Replace(table, "xref\n0 4", "xref\n0 400000000"), "Corrupted PDF file"},
        {"huge_first", Replace(table, "xref\n0 4", "xref\n2000000000 4"), "Corrupted PDF file"},
        {"xref_stream_header_bad", WithXRefStreamDict("6 0 obj", "6 x obj"),
         "Couldn't parse an xref stream"},
        {"xref_stream_not_stream", WithXRefStreamDict("6 0 obj\n<<", "6 0 obj\n[<<"),
         "Couldn't parse an xref stream"},
        {"size_wrong_type", WithXRefStreamDict("/Size 7", "/Size (7)"),
         "Size of xref Stream is wrong type"},
        {"size_huge", WithXRefStreamDict("/Size 7", "/Size 2000000000"), "Corrupted PDF file"},
        {"w_not_array", WithXRefStreamDict("/W [1 4 2]", "/W 7"),
         "W item of xref Stream is wrong type"},
        {"w_short", WithXRefStreamDict("/W [1 4 2]", "/W [1 4]"),
         "W item of xref Stream is wrong length"},
        {"w_element", WithXRefStreamDict("/W [1 4 2]", "/W [1 /x 2]"),
         "W item of xref Stream is wrong type"},
        {"index_element", WithXRefStreamDict("/W [1 4 2]", "/W [1 4 2] /Index [0 (7)]"),
         "Index item of xref Stream is wrong type"},
        {"entries_cut", WithXRefStreamDict("/W [1 4 2]", "/W [1 4 2] /Index [0 70]"),
         "Unexpected EOF while reading xref stream section"},
    };
}

// The table is read straight from its bytes in the standard layout and token by token in any
// other: each layout of the same entries gives the same table, and within a section the first
// subsection that names an object wins in both.
TEST(Reader, TablesInEveryLayoutGiveTheSameEntries) {
    const std::string standard = MinimalPages().BuildWithTable(kRoot);
    auto entriesOf = [](const std::string& bytes) {
        OpenedBytes opened(bytes);
        std::vector<std::array<int, 3>> entries;
        for (const CPdfXRefEntry& e : opened.XRef().GetEntries())
            entries.push_back({e.offset, e.generation, e.type});
        return entries;
    };
    auto shortLineEnds = [](std::string text) {
        for (const char* kind : {" n \n", " f \n"}) {
            for (size_t at = text.find(kind); at != std::string::npos; at = text.find(kind, at))
                text.replace(at + 2, 2, "\n");
        }
        return text;
    };
    const auto expected = entriesOf(standard);
    ASSERT_EQ(expected.size(), 4u);
    const size_t firstEntry = standard.find("xref\n0 4\n") + 9;
    std::string split = standard;
    split.insert(firstEntry + 40, "2 2\n");
    split.replace(standard.find("xref\n0 4\n"), 9, "xref\n0 2\n");
    std::string overlapping = standard;
    overlapping.insert(standard.find("trailer"), "1 1\n0000000999 00000 n \n");
    const std::vector<std::pair<const char*, std::string>> layouts = {
        {"one-byte line ends", shortLineEnds(standard)},
        {"a comment", Replace(standard, "xref\n0 4", "xref % entries\n0 4")},
        {"spaced header", Replace(standard, "xref\n0 4\n", "xref\r\n0  4 \r\n")},
        {"two subsections", split},
        {"an overlapping later subsection", overlapping},
    };
    for (const auto& [name, bytes] : layouts) {
        SCOPED_TRACE(name);
        EXPECT_EQ(entriesOf(bytes), expected);
    }
}

TEST(DamagedFiles, EachFailsWithItsMessage) {
    for (const DamagedCase& c : DamagedCases())
        EXPECT_EQ(OpenFailure(c.bytes), c.message) << c.name;
}

TEST(DamagedFiles, AnEntryTypeAboveTwoIsRefused) {
    std::string file = ObjectStreamFile(kPacked);
    // The entries are raw bytes after "stream\n" of object 6; the first byte is entry 0's type.
    size_t data = file.find("stream\n", file.find("/Type /XRef")) + 7;
    file[data] = 3;
    EXPECT_EQ(OpenFailure(file), "Wrong type of xref entry while reading xref stream section");
}

TEST(DamagedFiles, MissingFileCannotBeOpened) {
    CPdfDocument document;
    try {
        document.Open("/nonexistent/input.pdf");
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Can't open file");
    }
    EXPECT_FALSE(document.IsOpen());
}

TEST(DamagedFiles, TruncationsNeverCrash) {
    std::string file = ObjectStreamFile(kPacked);
    for (size_t cut = 0; cut < file.size(); cut += 7) {
        try {
            OpenedBytes opened(file.substr(0, cut));
            for (int n = 0; n < opened.XRef().GetSize(); ++n) {
                opened.XRef().Resolve(n, 0);
                GetRawObjectText(opened.XRef(), n);
            }
        } catch (const CPdfException&) {
        }
    }
}

TEST(StrictMode, RawTextOfAnOutOfRangeCompressedObjectNamesType2) {
    OpenedBytes opened(ObjectStreamFile(kPacked));
    CPdfXRef& xref = opened.XRef();
    try {
        xref.GetCompressedObjectText(500, 0);
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Corrupted PDF file");
    }
    xref.SetStrictMode(true);
    try {
        xref.GetCompressedObjectText(500, 0);
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Corrupted PDF file type 2");
    }
}

TEST(StrictMode, StreamsWithoutEndstreamFailOnlyWhenStrict) {
    PdfBuilder b = MinimalPages();
    b.Object(4, "<< /Length 3 >>\nstream\nabc\nendstrem");
    OpenedBytes opened(b.BuildWithTable(kRoot));
    EXPECT_TRUE(opened.XRef().Resolve(4, 0).IsStream());
    opened.XRef().SetStrictMode(true);
    try {
        opened.XRef().Resolve(4, 0);
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Missing 'endstream'");
    }
}

}  // namespace

namespace {

// Files the fuzzer found (pdf/tests/damaged/): each must open or fail with a message, and
// then resolve and give raw text for every object, without crash or runaway work.
TEST(DamagedFiles, FuzzerFindingsStayHarmless) {
    std::string folder = testing_support::SourceDir() + "/pdf/tests/damaged";
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        ++files;
        CPdfDocument document;
        try {
            document.Open(item.path().string());
        } catch (const CPdfException&) {
            continue;
        }
        CPdfXRef& xref = document.GetXRef();
        for (int n = 0; n < xref.GetSize(); ++n) {
            try {
                CPdfObject o =
                    xref.Resolve(n, xref.GetEntries()[static_cast<size_t>(n)].generation);
                if (o.IsStream()) ReadStreamBytes(o.GetStream(), 1 << 20);
                GetRawObjectText(xref, n);
            } catch (const CPdfException&) {
            }
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
