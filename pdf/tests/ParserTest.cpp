#include <gtest/gtest.h>

#include "ParserTestSupport.h"
#include "pdf/CPdfException.h"

using pdf_test::ParseAll;
using pdf_test::ParseOne;

namespace {

struct ScalarCase {
    const char* text;
    CPdfKind kind;
    std::string bytes;  // string, name or keyword bytes
    double number;      // integer or real value
};

// Printable names keep the listing of the cases readable for CTest.
void PrintTo(const ScalarCase& c, std::ostream* out) {
    for (const char* p = c.text; *p != '\0'; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte >= 0x21 && byte < 0x7F && byte != '\\' && byte != ';' && byte != '#') {
            *out << *p;
        } else {
            *out << '_';
        }
    }
}

class ScalarTokens : public ::testing::TestWithParam<ScalarCase> {};

TEST_P(ScalarTokens, ParseToTheExpectedValue) {
    const ScalarCase& c = GetParam();
    CPdfObject o = ParseOne(c.text);
    ASSERT_EQ(o.GetKind(), c.kind) << c.text;
    if (o.IsString() || o.IsName() || o.IsKeyword()) {
        EXPECT_EQ(o.GetString(), c.bytes) << c.text;
    }
    if (o.IsNum()) {
        EXPECT_DOUBLE_EQ(o.GetNum(), c.number) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tokenizer, ScalarTokens,
    ::testing::Values(
        ScalarCase{"(a(b)c)", CPdfKind::String, "a(b)c", 0},
        ScalarCase{"(a\\)b)", CPdfKind::String, "a)b", 0},
        ScalarCase{"(\\0053)", CPdfKind::String,
                   "\x05"
                   "3",
                   0},
        ScalarCase{"(\\101)", CPdfKind::String, "A", 0},
        ScalarCase{"(\\777)", CPdfKind::String, "\xFF", 0},
        ScalarCase{"(a\\\nb\\\r\nc)", CPdfKind::String, "abc", 0},
        ScalarCase{"(\\n\\r\\t\\b\\f\\q\\\\)", CPdfKind::String, "\n\r\t\b\fq\\", 0},
        ScalarCase{"(cut by the end", CPdfKind::String, "cut by the end", 0},
        ScalarCase{"(ends in escape\\", CPdfKind::String, "ends in escape", 0},
        ScalarCase{"<414>", CPdfKind::String, "\x41\x40", 0},
        ScalarCase{"<4G>", CPdfKind::String, "\x40", 0},
        ScalarCase{"<4 1\n4 2>", CPdfKind::String, "AB", 0},
        ScalarCase{"<>", CPdfKind::String, "", 0}, ScalarCase{"<41", CPdfKind::String, "A", 0},
        ScalarCase{"/A#42", CPdfKind::Name, "AB", 0}, ScalarCase{"/A#G", CPdfKind::Name, "A#G", 0},
        ScalarCase{"/", CPdfKind::Name, "", 0},
        ScalarCase{"/\xC3\xA9t\xC3\xA9", CPdfKind::Name, "\xC3\xA9t\xC3\xA9", 0},
        ScalarCase{"-.5", CPdfKind::Real, "", -0.5}, ScalarCase{"1.2.3", CPdfKind::Real, "", 1.2},
        ScalarCase{".", CPdfKind::Real, "", 0.0}, ScalarCase{"-", CPdfKind::Integer, "", 0},
        ScalarCase{"-17", CPdfKind::Integer, "", -17},
        ScalarCase{"0000000017", CPdfKind::Integer, "", 17},
        ScalarCase{"2147483647", CPdfKind::Integer, "", 2147483647},
        ScalarCase{"-2147483648", CPdfKind::Integer, "", -2147483648.0},
        // Beyond 32 bits: kept as a number, never as an integer that could pass for a count.
        ScalarCase{"2147483648", CPdfKind::Real, "", 2147483648.0},
        ScalarCase{"99999999999999999999999", CPdfKind::Real, "", 1e23},
        ScalarCase{"+5", CPdfKind::Keyword, "+5", 0},
        ScalarCase{"nullx", CPdfKind::Keyword, "nullx", 0},
        ScalarCase{"null", CPdfKind::Null, "", 0}, ScalarCase{"true", CPdfKind::Boolean, "", 0},
        ScalarCase{"% comment only", CPdfKind::EndOfInput, "", 0},
        ScalarCase{"% comment\r42", CPdfKind::Integer, "", 42},
        ScalarCase{">", CPdfKind::Error, "", 0}, ScalarCase{")", CPdfKind::Error, "", 0},
        ScalarCase{"{", CPdfKind::Error, "", 0},
        ScalarCase{"\x80\xFFword", CPdfKind::Keyword, "\x80\xFFword", 0}),
    [](const ::testing::TestParamInfo<ScalarCase>& param) {
        return "case" + std::to_string(param.index);
    });

TEST(Tokenizer, NameHashConsumesTheByteAfterItsDigit) {
    std::vector<CPdfObject> objects = ParseAll("/A#4 /B");
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].GetName(), "A\x40");
    EXPECT_EQ(objects[1].GetName(), "B");
}

TEST(Tokenizer, TrueAndFalseAreBooleans) {
    EXPECT_TRUE(ParseOne("true").GetBool());
    EXPECT_FALSE(ParseOne("false").GetBool());
}

TEST(Parser, FirstDuplicateKeyWins) {
    CPdfObject dict = ParseOne("<< /A 1 /A 2 >>");
    ASSERT_TRUE(dict.IsDict());
    EXPECT_EQ(dict.GetDict().Lookup("A").GetInt(), 1);
    EXPECT_EQ(dict.GetDict().GetLength(), 1);

    // The same answers before the dictionary is put in key order and after.
    CPdfObject mixed = ParseOne("<< /B 1 /A 2 /B 3 >>");
    const CPdfDict& d = mixed.GetDict();
    EXPECT_EQ(d.LookupDirect("B").GetInt(), 1);
    EXPECT_EQ(d.LookupDirect("A").GetInt(), 2);
    EXPECT_TRUE(d.LookupDirect("C").IsNull());
    EXPECT_EQ(d.Entries().size(), 2u);
    EXPECT_EQ(d.LookupDirect("B").GetInt(), 1);
    EXPECT_TRUE(d.LookupDirect("C").IsNull());
}

TEST(Parser, ReferencesNeedTwoIntegersAndR) {
    CPdfObject ref = ParseOne("[1 2 R]");
    ASSERT_EQ(ref.GetArray().GetLength(), 1);
    EXPECT_EQ(ref.GetArray().GetNF(0).GetRefNum(), 1);
    EXPECT_EQ(ref.GetArray().GetNF(0).GetRefGen(), 2);
    EXPECT_EQ(ParseOne("[1 2]").GetArray().GetLength(), 2);

    pdf_test::TextParser p("1 2 obj");
    EXPECT_EQ(p.parser.GetObject().GetInt(), 1);
    EXPECT_EQ(p.parser.Current().GetInt(), 2);
    EXPECT_TRUE(p.parser.Next().IsKeyword("obj"));
}

TEST(Parser, DictionaryKeysAreVisitedInByteOrder) {
    CPdfObject dict = ParseOne("<< /b 1 /a 2 /ab 3 /B 4 /\xE9 5 >>");
    std::string order;
    for (const auto& [key, value] : dict.GetDict().Entries()) order += key + ",";
    EXPECT_EQ(order, "B,a,ab,b,\xE9,");
}

TEST(Parser, LargeDictionariesKeepKeyOrderAndTheFirstValueOfEachKey) {
    // Sixty keys in falling order, each given twice: the first value of each is kept.
    std::string text = "<<";
    for (int round = 0; round < 2; ++round) {
        for (int k = 59; k >= 0; --k) {
            text += " /k" + std::to_string(100 + k) + " " + std::to_string(k + round * 1000);
        }
    }
    CPdfObject dict = ParseOne(text + " >>");
    const CPdfDict& d = dict.GetDict();
    ASSERT_EQ(d.GetLength(), 60);
    int expected = 0;
    for (const auto& [key, value] : d.Entries()) {
        EXPECT_EQ(key, "k" + std::to_string(100 + expected));
        EXPECT_EQ(value.GetInt(), expected);
        ++expected;
    }
    EXPECT_EQ(d.LookupDirect("k159").GetInt(), 59);
    EXPECT_TRUE(d.LookupDirect("k160").IsNull());
}

TEST(Parser, ReadingGoesOnIntoTheNextInputStream) {
    // A string cut by the end of the first input goes on in the second.
    pdf_test::TextParser p("[1 2 (a");
    CPdfStreamPtr more(new CPdfMemoryStream("b\\)c) 3\n  4]"));
    p.parser.AddStream(more.get());
    CPdfObject array = p.parser.GetObject();
    ASSERT_TRUE(array.IsArray());
    const CPdfArray& items = array.GetArray();
    ASSERT_EQ(items.GetLength(), 5);
    EXPECT_EQ(items.At(1).GetInt(), 2);
    EXPECT_EQ(items.At(2).GetString(), "ab)c");
    EXPECT_EQ(items.At(3).GetInt(), 3);
    EXPECT_EQ(items.At(4).GetInt(), 4);
    EXPECT_TRUE(p.parser.Current().IsEOF());
}

TEST(Parser, BadTokensInDictionariesAreDroppedWithTheirKeys) {
    CPdfObject dict = ParseOne("<< 5 /A ) /B 2 (junk) /C [1 ) 2] >>");
    const CPdfDict& d = dict.GetDict();
    EXPECT_FALSE(d.Has("A"));
    EXPECT_EQ(d.Lookup("B").GetInt(), 2);
    ASSERT_TRUE(d.Lookup("C").IsArray());
    EXPECT_EQ(d.Lookup("C").GetArray().GetLength(), 3);
    EXPECT_TRUE(d.Lookup("C").GetArray().GetNF(1).IsError());
}

TEST(Parser, EndOfInputEndsOpenContainers) {
    CPdfObject array = ParseOne("[1 [2 << /K (v");
    ASSERT_TRUE(array.IsArray());
    ASSERT_EQ(array.GetArray().GetLength(), 2);
    CPdfObject inner = array.GetArray().GetNF(1);
    ASSERT_EQ(inner.GetArray().GetLength(), 2);
    EXPECT_EQ(inner.GetArray().GetNF(1).GetDict().Lookup("K").GetString(), "v");
    EXPECT_TRUE(ParseOne("<< /A").IsDict());
}

TEST(Parser, DeepNestingIsBoundedNotRecursedWithoutLimit) {
    std::string deep(100000, '[');
    CPdfObject o = ParseOne(deep);
    ASSERT_TRUE(o.IsArray());
    int depth = 0;
    for (CPdfObject cur = o; cur.IsArray() && cur.GetArray().GetLength() > 0;
         cur = cur.GetArray().GetNF(0)) {
        ++depth;
    }
    EXPECT_LE(depth, CPdfParser::kMaxNesting);
    std::string dicts;
    for (int i = 0; i < 50000; ++i) dicts += "<< /K ";
    EXPECT_TRUE(ParseOne(dicts).IsDict());
}

TEST(Objects, CopiesShareContainersAndFreeReleasesThem) {
    CPdfObject array = ParseOne("[1 2]");
    CPdfObject copy = array;
    copy.GetArray().Add(CPdfObject::MakeInt(3));
    EXPECT_EQ(array.GetArray().GetLength(), 3);
    copy.Free();
    EXPECT_TRUE(copy.IsNone());
    EXPECT_EQ(array.GetArray().GetLength(), 3);
    // Accessors on the wrong kind read as empty, not as a crash.
    EXPECT_EQ(copy.GetArray().GetLength(), 0);
    EXPECT_EQ(ParseOne("5").GetDict().GetLength(), 0);
}

TEST(Objects, ResolveValueWithoutTableCopies) {
    CPdfObject ref = CPdfObject::MakeRef(4, 0);
    EXPECT_TRUE(ResolveValue(ref, nullptr).IsRef());
}

TEST(Exception, KeepsItsMessageAndPlace) {
    CPdfException e(pdfmsg::kCorrupted, 12, 345);
    CPdfException copy = e;
    EXPECT_EQ(copy.GetMessage(), "Corrupted PDF file");
    EXPECT_EQ(copy.objectNumber, 12);
    EXPECT_EQ(copy.offset, 345);
    EXPECT_EQ(CPdfException().GetMessage(), "");
}

}  // namespace
