#include <gtest/gtest.h>

#include "ParserTestSupport.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfFilters.h"
#include "testing/PdfBuilder.h"

using testing_support::Deflate;
using namespace std::string_literals;

namespace {

std::string StreamText(const std::string& entries, const std::string& data,
                       const std::string& tail = "\nendstream") {
    return "<< " + entries + " /Length " + std::to_string(data.size()) + " >>\nstream\r\n" + data +
           tail;
}

std::string Decoded(const std::string& text) {
    CPdfObject o = pdf_test::ParseOne(text);
    EXPECT_TRUE(o.IsStream()) << text.substr(0, 60);
    if (!o.IsStream()) return "<not a stream>";
    return ReadStreamBytes(o.GetStream());
}

std::string HexText(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

// PNG-filtered rows: each row is a tag byte and its bytes.
std::string PngRows(std::initializer_list<std::pair<int, std::string>> rows) {
    std::string out;
    for (const auto& [tag, bytes] : rows) out += static_cast<char>(tag) + bytes;
    return out;
}

TEST(Streams, PlainAndFlateDataDecode) {
    EXPECT_EQ(Decoded(StreamText("", "hello")), "hello");
    std::string text(100000, 'x');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(Decoded(StreamText("/Filter /FlateDecode", Deflate(text))), text);
    EXPECT_EQ(Decoded(StreamText("/Filter /Fl", Deflate("abc"))), "abc");
    EXPECT_EQ(Decoded(StreamText("/Filter [/FlateDecode]", Deflate("abc"))), "abc");
}

TEST(Streams, TokensRunAcrossTheDecodedBlocks) {
    // A literal string far longer than a decoded block, with nested parentheses and escapes on
    // both sides of every block boundary, parsed straight from the decoded stream.
    std::string body;
    std::string expected;
    for (int i = 0; i < 30000; ++i) {
        body += "ab(c)\\)";
        expected += "ab(c))";
    }
    CPdfObject stream =
        pdf_test::ParseOne(StreamText("/Filter /FlateDecode", Deflate("[(" + body + ") /N 7]")));
    ASSERT_TRUE(stream.IsStream());
    CPdfParser parser(nullptr, &stream.GetStream(), false);
    CPdfObject array = parser.GetObject();
    ASSERT_TRUE(array.IsArray());
    ASSERT_EQ(array.GetArray().GetLength(), 3);
    EXPECT_TRUE(array.GetArray().At(0).GetString() == expected);
    EXPECT_TRUE(array.GetArray().At(1).IsName("N"));
    EXPECT_EQ(array.GetArray().At(2).GetInt(), 7);
    EXPECT_TRUE(parser.Current().IsEOF());
}

TEST(Streams, FilterEntriesThatCannotBeReadGiveErrorObjects) {
    EXPECT_TRUE(pdf_test::ParseOne(StreamText("/Filter [/FlateDecode 5]", "x")).IsError());
    EXPECT_TRUE(pdf_test::ParseOne(
                    StreamText("/Filter [/AHx /AHx /AHx /AHx /AHx /AHx /AHx /AHx /AHx]", "x"))
                    .IsError());
    EXPECT_TRUE(pdf_test::ParseOne(StreamText("/Filter 5", "x")).IsError());
    EXPECT_TRUE(pdf_test::ParseOne("<< /Length /x >>\nstream\nabc\nendstream").IsError());
    EXPECT_TRUE(pdf_test::ParseOne("<< /Length -4 >>\nstream\nabc\nendstream").IsError());
}

TEST(Streams, ImageAndUnknownFiltersAreNotSupported) {
    for (const char* filter : {"/DCTDecode", "[/ASCII85Decode /DCTDecode]", "/JBIG2Decode",
                               "/CCITTFaxDecode", "/JPXDecode", "/Crypt", "/Fancy"}) {
        try {
            pdf_test::ParseOne(StreamText(std::string("/Filter ") + filter, "x"));
            ADD_FAILURE() << filter;
        } catch (const CPdfException& e) {
            EXPECT_EQ(e.GetMessage(), "Stream filter not supported");
        }
    }
}

TEST(Filters, AsciiHexAndAscii85) {
    EXPECT_EQ(Decoded(StreamText("/Filter /ASCIIHexDecode", "48 65\n6c6C 6f>ignored")), "Hello");
    EXPECT_EQ(Decoded(StreamText("/Filter /AHx", "4142 4>")), "AB@");    // a lone digit: 0 follows
    EXPECT_EQ(Decoded(StreamText("/Filter /AHx", "4142x4344>")), "AB");  // a stray byte ends it
    EXPECT_EQ(Decoded(StreamText("/Filter /ASCII85Decode", "87cUR\nD_*#4\nDfTZ)\n+T~>")),
              "Hello, World!");
    EXPECT_EQ(Decoded(StreamText("/Filter /A85", "87cURzD]o~>")), "Hell\0\0\0\0o!"s);
    EXPECT_EQ(Decoded(StreamText("/Filter /A85", "87cUR")), "Hell");  // no end marker
}

TEST(Filters, RunLengthAndLzw) {
    EXPECT_EQ(Decoded(StreamText("/Filter /RunLengthDecode",
                                 "\x02"
                                 "abc"
                                 "\xFE"
                                 "x"
                                 "\x80"
                                 "zz")),
              "abcxxx");
    EXPECT_EQ(Decoded(StreamText("/Filter /RL",
                                 "\x05"
                                 "ab")),
              "ab");  // cut short
    // The example of the format's description: codes 256 45 258 258 65 259 66 257.
    const std::string lzw = "\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01";
    EXPECT_EQ(Decoded(StreamText("/Filter /LZWDecode", lzw)), "-----A---B");
    EXPECT_EQ(Decoded(StreamText("/Filter [/LZW]", lzw)), "-----A---B");
    // A code beyond the table ends the data after what came before it.
    EXPECT_EQ(Decoded(StreamText("/Filter /LZW", "\x80\x0B\x7F\xF0")), "-");
}

TEST(Filters, ChainsDecodeInOrder) {
    std::string text = "BT /F1 12 Tf (chained) Tj ET";
    std::string hexOfFlate = HexText(Deflate(text)) + ">";
    EXPECT_EQ(Decoded(StreamText("/Filter [/ASCIIHexDecode /FlateDecode]", hexOfFlate)), text);
    EXPECT_EQ(Decoded(StreamText("/Filter [/AHx /AHx]", "343134323E>")), "AB");
    EXPECT_EQ(Decoded(StreamText("/Filter []", "plain")), "plain");
}

TEST(Filters, DecodingPastTheLimitFails) {
    // A few kilobytes that inflate to 4 MiB, read with a limit of 1 MiB.
    std::string bomb = Deflate(std::string(4 << 20, '\0'));
    CPdfObject dict = pdf_test::ParseOne("<< /Filter /FlateDecode >>");
    CPdfStreamPtr stream =
        AddFilters(CPdfStreamPtr(new CPdfMemoryStream(bomb)), dict.GetDict(), 1 << 20);
    ASSERT_TRUE(stream);
    try {
        ReadStreamBytes(*stream);
        ADD_FAILURE() << "no failure";
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Stream too large to decode");
    }
    // Within the limit the same stream reads whole.
    CPdfStreamPtr roomy =
        AddFilters(CPdfStreamPtr(new CPdfMemoryStream(bomb)), dict.GetDict(), 8 << 20);
    EXPECT_EQ(ReadStreamBytes(*roomy).size(), size_t{4} << 20);
}

TEST(Streams, CorruptCompressedDataEndsEarlyWithoutError) {
    std::string good = Deflate(std::string(5000, 'q'));
    std::string bad = good.substr(0, good.size() / 2) + std::string(40, '\x7F');
    std::string decoded = Decoded(StreamText("/Filter /FlateDecode", bad));
    EXPECT_LT(decoded.size(), 5000u);
    EXPECT_EQ(decoded, std::string(decoded.size(), 'q'));
}

TEST(Streams, LengthZeroIsUnboundedPlainAndEmptyFlate) {
    EXPECT_EQ(Decoded("<< /Length 0 >>\nstream\nrest of the file"), "rest of the file");
    EXPECT_EQ(Decoded("<< /Length 0 /Filter /FlateDecode >>\nstream\n" + Deflate("abc")), "");
}

TEST(Streams, ParserContinuesAfterTheDataAndEndstream) {
    pdf_test::TextParser p(StreamText("", "endobj inside") + "\nendobj 42");
    CPdfObject stream = p.parser.GetObject();
    ASSERT_TRUE(stream.IsStream());
    EXPECT_TRUE(p.parser.Current().IsKeyword("endobj"));
    EXPECT_EQ(ReadStreamBytes(stream.GetStream()), "endobj inside");
}

TEST(Streams, MissingEndstreamFailsOnlyInTheStrictMode) {
    std::string text = StreamText("", "abc", "\nendstrem\nendobj");
    EXPECT_TRUE(pdf_test::ParseOne(text).IsStream());
    pdf_test::TextParser strict(text, true);
    try {
        strict.parser.GetObject();
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Missing 'endstream'");
    }
}

TEST(Streams, RawCharactersOnlyComeFromFlateStreams) {
    CPdfMemoryStream plain("abc");
    try {
        plain.GetRawChar();
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_EQ(e.GetMessage(), "Internal: called getRawChar() on non-predictor stream");
    }
}

TEST(Predictors, PngRowsOfEveryTag) {
    // 4 columns of 1 byte; the first row's "up" bytes are zero.
    std::string rows = PngRows({{0, "\x01\x02\x03\x04"},     // none
                                {1, "\x01\x01\x01\x01"},     // sub: 1 2 3 4
                                {2, "\x01\x01\x01\x01"},     // up: 2 3 4 5
                                {3, "\x02\x02\x02\x02"},     // average
                                {4, "\x01\x00\x00\xFF"s}});  // paeth
    std::string decoded = Decoded(StreamText(
        "/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 4 >>", Deflate(rows)));
    ASSERT_EQ(decoded.size(), 20u);
    EXPECT_EQ(decoded.substr(0, 12),
              std::string("\x01\x02\x03\x04\x01\x02\x03\x04\x02\x03\x04\x05", 12));
    // average: left + up halves: (0+2)/2+2=3, (3+3)/2+2=5, (5+4)/2+2=6, (6+5)/2+2=7
    EXPECT_EQ(decoded.substr(12, 4), "\x03\x05\x06\x07");
    // paeth over up row 3 5 6 7: first byte left=0 ul=0 up=3 -> p=3, pa=3 pb=0 -> up: 3+1
    EXPECT_EQ(static_cast<uint8_t>(decoded[16]), 4);
}

TEST(Predictors, PaethTiesPreferLeftThenUp) {
    // Row 1 all zero; row 2 with Paeth: left = up = upper-left = 0 everywhere, so every
    // value is the left byte plus the stored byte.
    std::string rows = PngRows({{0, std::string(3, '\0')}, {4, "\x05\x00\x00"s}});
    std::string decoded = Decoded(StreamText(
        "/Filter /FlateDecode /DecodeParms << /Predictor 15 /Columns 3 >>", Deflate(rows)));
    EXPECT_EQ(decoded.substr(3), "\x05\x05\x05");
}

TEST(Predictors, ParameterArraysGoWithTheirFilters) {
    // A parameter array gives each filter of the chain the element at its place; a single
    // dictionary serves a single filter only.
    std::string rows = "\x02\x01\x01\x01\x01\x02\x01\x01\x01\x01";
    std::string up = "\x01\x01\x01\x01\x02\x02\x02\x02";
    EXPECT_EQ(
        Decoded(StreamText("/Filter [/FlateDecode] /DecodeParms [<< /Predictor 12 /Columns 4 >>]",
                           Deflate(rows))),
        up);
    std::string hex = HexText(Deflate(rows)) + ">";
    EXPECT_EQ(Decoded(StreamText(
                  "/Filter [/AHx /Fl] /DecodeParms [null << /Predictor 12 /Columns 4 >>]", hex)),
              up);
    EXPECT_EQ(
        Decoded(StreamText("/Filter [/AHx /Fl] /DecodeParms << /Predictor 12 /Columns 4 >>", hex)),
        rows);
}

TEST(Predictors, TiffDifferencingForEveryDepth) {
    auto decode = [](int bits, int colors, int columns, const std::string& raw) {
        return Decoded(StreamText("/Filter /FlateDecode /DecodeParms << /Predictor 2 /Columns " +
                                      std::to_string(columns) + " /Colors " +
                                      std::to_string(colors) + " /BitsPerComponent " +
                                      std::to_string(bits) + " >>",
                                  Deflate(raw)));
    };
    EXPECT_EQ(decode(8, 2, 3, "\x01\x02\x01\x01\x01\x01"), "\x01\x02\x02\x03\x03\x04");
    EXPECT_EQ(decode(16, 1, 2, std::string("\x00\xFF\x00\x02", 4)),
              std::string("\x00\xFF\x01\x01", 4));
    // 1 bit, 8 columns: differences 1 0 0 1 0 0 0 0 give 1 1 1 0 0 0 0 0
    EXPECT_EQ(decode(1, 1, 8, "\x90"), "\xE0");
    // 4 bits, 1 color, 4 columns: 1 1 1 F give 1 2 3 2
    EXPECT_EQ(decode(4, 1, 4, "\x11\x1F"), "\x12\x32");
}

TEST(Predictors, UnusableParametersGiveAnEmptyStream) {
    for (const char* parms : {"/Predictor 12 /Columns 0", "/Predictor 12 /Colors -1",
                              "/Predictor 2 /BitsPerComponent 3",
                              "/Predictor 12 /Columns 2000000000 /Colors 32", "/Predictor 0"}) {
        EXPECT_EQ(
            Decoded(StreamText(std::string("/Filter /FlateDecode /DecodeParms << ") + parms + " >>",
                               Deflate("abcdef"))),
            "")
            << parms;
    }
}

TEST(Predictors, PartialLastRowIsNotDelivered) {
    std::string rows = PngRows({{0, "\x01\x02\x03\x04"}}) + "\x00\x05";
    EXPECT_EQ(Decoded(StreamText("/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 4 >>",
                                 Deflate(rows))),
              "\x01\x02\x03\x04");
}

}  // namespace
