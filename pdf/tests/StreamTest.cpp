#include <gtest/gtest.h>

#include "ParserTestSupport.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfFlateStream.h"
#include "testing/PdfBuilder.h"

using testing_support::Deflate;
using namespace std::string_literals;

namespace {

std::string StreamText(const std::string& entries, const std::string& data, const std::string& tail = "\nendstream") {
    return "<< " + entries + " /Length " + std::to_string(data.size()) + " >>\nstream\r\n" + data + tail;
}

std::string Decoded(const std::string& text) {
    CPdfObject o = pdf_test::ParseOne(text);
    EXPECT_TRUE(o.IsStream()) << text.substr(0, 60);
    if (!o.IsStream()) return "<not a stream>";
    return ReadStreamBytes(o.GetStream());
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

TEST(Streams, FilterEntriesThatCannotBeReadGiveErrorObjects) {
    EXPECT_TRUE(pdf_test::ParseOne(StreamText("/Filter [/FlateDecode /FlateDecode]", "x")).IsError());
    EXPECT_TRUE(pdf_test::ParseOne(StreamText("/Filter []", "x")).IsError());
    EXPECT_TRUE(pdf_test::ParseOne(StreamText("/Filter 5", "x")).IsError());
    EXPECT_TRUE(pdf_test::ParseOne("<< /Length /x >>\nstream\nabc\nendstream").IsError());
    EXPECT_TRUE(pdf_test::ParseOne("<< /Length -4 >>\nstream\nabc\nendstream").IsError());
}

TEST(Streams, OtherFiltersAreNotSupported) {
    for (const char* filter : {"/DCTDecode", "[/LZWDecode]", "/ASCIIHexDecode"}) {
        try {
            pdf_test::ParseOne(StreamText(std::string("/Filter ") + filter, "x"));
            ADD_FAILURE() << filter;
        } catch (const CPdfException& e) {
            EXPECT_EQ(e.GetMessage(), "Stream filter not supported");
        }
    }
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
    std::string rows = PngRows({{0, "\x01\x02\x03\x04"},    // none
                                {1, "\x01\x01\x01\x01"},    // sub: 1 2 3 4
                                {2, "\x01\x01\x01\x01"},    // up: 2 3 4 5
                                {3, "\x02\x02\x02\x02"},    // average
                                {4, "\x01\x00\x00\xFF"s}});  // paeth
    std::string decoded = Decoded(StreamText(
        "/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 4 >>", Deflate(rows)));
    ASSERT_EQ(decoded.size(), 20u);
    EXPECT_EQ(decoded.substr(0, 12), std::string("\x01\x02\x03\x04\x01\x02\x03\x04\x02\x03\x04\x05", 12));
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

TEST(Predictors, ParameterArraysAreNotRead) {
    std::string data = "\x02\x01\x01\x01\x01";
    EXPECT_EQ(Decoded(StreamText("/Filter [/FlateDecode] /DecodeParms [<< /Predictor 12 /Columns 4 >>]",
                                 Deflate(data))),
              data);
}

TEST(Predictors, TiffDifferencingForEveryDepth) {
    auto decode = [](int bits, int colors, int columns, const std::string& raw) {
        return Decoded(StreamText("/Filter /FlateDecode /DecodeParms << /Predictor 2 /Columns " +
                                      std::to_string(columns) + " /Colors " + std::to_string(colors) +
                                      " /BitsPerComponent " + std::to_string(bits) + " >>",
                                  Deflate(raw)));
    };
    EXPECT_EQ(decode(8, 2, 3, "\x01\x02\x01\x01\x01\x01"), "\x01\x02\x02\x03\x03\x04");
    EXPECT_EQ(decode(16, 1, 2, std::string("\x00\xFF\x00\x02", 4)), std::string("\x00\xFF\x01\x01", 4));
    // 1 bit, 8 columns: differences 1 0 0 1 0 0 0 0 give 1 1 1 0 0 0 0 0
    EXPECT_EQ(decode(1, 1, 8, "\x90"), "\xE0");
    // 4 bits, 1 color, 4 columns: 1 1 1 F give 1 2 3 2
    EXPECT_EQ(decode(4, 1, 4, "\x11\x1F"), "\x12\x32");
}

TEST(Predictors, UnusableParametersGiveAnEmptyStream) {
    for (const char* parms : {"/Predictor 12 /Columns 0", "/Predictor 12 /Colors -1",
                              "/Predictor 2 /BitsPerComponent 3", "/Predictor 12 /Columns 2000000000 /Colors 32",
                              "/Predictor 0"}) {
        EXPECT_EQ(Decoded(StreamText(std::string("/Filter /FlateDecode /DecodeParms << ") + parms + " >>",
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
