// The raw-text editing module: references, entries of the outermost dictionary, object
// headers, the stream keyword, keys and the page edits built on them.
#include "pdf/CPdfRawEdit.h"

#include <gtest/gtest.h>

namespace {

TEST(RawTextEditTest, ReferencesOutsideStringsAreRenumbered) {
    std::string text = "<< /A 12 0 R /B [3 0 R 4 1 R] /S (5 0 R) /N 7 /K 8 0 obj >>";
    std::string renumbered = ReplaceReferences(
        text, [](const RefToken& ref) { return std::to_string(ref.number + 100) + " 0 R"; });
    EXPECT_EQ(renumbered, "<< /A 112 0 R /B [103 0 R 104 0 R] /S (5 0 R) /N 7 /K 8 0 obj >>");
}

TEST(RawTextEditTest, EntriesOfTheOutermostDictionaryOnly) {
    std::string text = "3 0 obj << /Kids [4 0 R] /Sub << /Count 9 >> /Count 2 >> endobj";
    auto count = FindIntegerValue(text, "/Count");
    ASSERT_TRUE(count);
    EXPECT_EQ(count->value, 2);
    auto kids = FindArrayValue(text, "/Kids");
    ASSERT_TRUE(kids);
    EXPECT_EQ(text.substr(kids->open, kids->close - kids->open + 1), "[4 0 R]");
    EXPECT_FALSE(FindIntegerValue("<< /Count 5 0 R >>", "/Count"));
    EXPECT_EQ(FindReferenceValue("<< /Count 5 0 R >>", "/Count")->number, 5);
    EXPECT_EQ(RemoveEntry("<</A 1/B [1 [2]] /C 3>>", "/B"), "<</A 1 /C 3>>");
}

TEST(RawTextEditTest, ObjectHeaderAndStreamKeyword) {
    EXPECT_EQ(SetObjectHeader("12 0 obj<< >>endobj", 40, 0), "40 0 obj<< >>endobj");
    EXPECT_EQ(SetObjectHeader("no header", 40, 0), "no header");
    std::string raw = "5 0 obj\n<< /Subtype /Xstream /Length 3 >>\nstream\nabc";
    EXPECT_EQ(FindStreamKeyword(raw), raw.find(">>\nstream") + 3);
    EXPECT_EQ(FindStreamKeyword("5 0 obj << /S /upstream >> endobj"), kNotFound);
}

// The word in a string, a comment or a name of the dictionary is part of what holds it: only
// the token after the dictionary opens the data, with the same tokenizer deciding everywhere.
TEST(RawTextEditTest, StreamKeywordIsTheTokenAfterTheDictionary) {
    const char* const kHidden[] = {
        "7 0 obj\n<< /NM (x stream\n) /A 3 0 R >>\nendobj\n",
        "7 0 obj\n<< /Lang (en stream\r) >>\nendobj\n",
        "7 0 obj\n<< % stream\n/A 3 0 R >>\nendobj\n",
        "7 0 obj\n<< /NM <73747265616d> /T (a\\) stream\n) >>\nendobj\n",
        "7 0 obj\n<< /stream\n/A [(>> stream\n)] >>\nendobj\n",
        "7 0 obj\n[ (x) stream\n]\nendobj\n",
        "7 0 obj\n<< /A 3 0 R\nendobj\n stream\n",
    };
    for (const char* raw : kHidden) {
        EXPECT_EQ(FindStreamKeyword(raw), kNotFound) << raw;
        EXPECT_EQ(DictionaryPart(raw), raw) << raw;
    }
    const std::string real = "7 0 obj <</NM (stream\n) % stream\n/Length 2>>stream\r\nab";
    EXPECT_EQ(FindStreamKeyword(real), real.rfind("stream"));
    EXPECT_EQ(FindStreamKeyword("<< /Length 2 >>\nstream\nab"), 16u);
}

TEST(ParentEditTest, PointsTheWholeReferenceAtTheNewRoot) {
    std::string text = "<</Parent 17 0 R/Type/Page>>";
    ASSERT_TRUE(ReplaceParentReference(text, 3, 2));
    EXPECT_EQ(text, "<</Parent 3 2 R/Type/Page>>");
    std::string missing = "<</Type/Page>>";
    EXPECT_FALSE(ReplaceParentReference(missing, 3, 0));
}

TEST(DirectValueTest, CopiesNestedDictionariesAndReferences) {
    std::string node =
        "2 0 obj\n<</Type/Pages/Resources<</Font<</F1 5 0 R>>/ProcSet[/PDF (a>>b)]>>/Kids[4 0 R]"
        "/Rotate 90>>\nendobj\n";
    EXPECT_EQ(DirectValueText(node, "/Resources"), "<</Font<</F1 5 0 R>>/ProcSet[/PDF (a>>b)]>>");
    EXPECT_EQ(DirectValueText(node, "/Rotate"), "90");
    EXPECT_EQ(DirectValueText("<</Resources 7 0 R>>", "/Resources"), "7 0 R");
    EXPECT_EQ(DirectValueText(node, "/CropBox"), std::nullopt);
    // A key inside a nested dictionary is not an entry of the node.
    EXPECT_EQ(DirectValueText(node, "/F1"), std::nullopt);
}

TEST(KeyTest, KeyMustBeAWholeName) {
    EXPECT_EQ(FindKey("<</CropBoxes [1 2 3 4]/CropBox 5 0 R>>", "/CropBox"), 22u);
    EXPECT_EQ(FindKey("<</CropBoxes [1 2 3 4]>>", "/CropBox"), kNotFound);
    EXPECT_EQ(FindKey("<</Rotate 90>>", "/Rotate"), 2u);
}

// Widgets, actions and pages whose values are names equal to keys the edits look for: the
// edits find only the keys themselves.
TEST(KeyTest, NameValuesAreNeverKeys) {
    const std::string widget =
        "10 0 obj\n<< /AS /Yes /FT /Btn /H /P /MK << /CA (4) >> /Rect [1 2 3 4] /Subtype /Widget "
        "/Type /Annot /V /Yes >>\nendobj\n";
    EXPECT_FALSE(FindEntry(widget, "/P"));
    EXPECT_EQ(FindKey(widget, "/P"), kNotFound);
    EXPECT_EQ(ReplaceEntryValue(widget, "/P", "5 0 R"), widget);
    EXPECT_EQ(FindKey(widget, "/Rect"), widget.find("/Rect"));

    const std::string withParent = "<< /H /P /P 7 0 R /V /Yes >>";
    EXPECT_EQ(ReplaceEntryValue(withParent, "/P", "9 0 R"), "<< /H /P /P 9 0 R /V /Yes >>");
    EXPECT_EQ(FindReferenceValue("<< /S /P /P 3 0 R >>", "/P")->number, 3);
    EXPECT_EQ(FindKey("<< /S /Rotate /Rotate 90 >>", "/Rotate"), 14u);
    EXPECT_EQ(FindKey("<< /Type /Annot /Annot 1 >>", "/Annot"), 16u);
    EXPECT_EQ(FindKey("<< /A [/Rotate 90] /B << /Rotate 9 >> >>", "/Rotate"), kNotFound);
    EXPECT_EQ(FindKey("<< /T (/Rotate 90) >>", "/Rotate"), kNotFound);

    std::string page = "<< /Group << /S /Transparency >> /Tabs /Parent /Parent 4 0 R >>";
    ASSERT_TRUE(ReplaceParentReference(page, 8, 0));
    EXPECT_EQ(page, "<< /Group << /S /Transparency >> /Tabs /Parent /Parent 8 0 R >>");
}

TEST(KeyTest, ObjectTypeIsTheTypeKeysValue) {
    EXPECT_EQ(RawDictType("4 0 obj << /S /Type /Type /Page >> endobj"), "Page");
    EXPECT_EQ(RawDictType("4 0 obj << /Sub << /Type /XRef >> >> endobj"), "");
    EXPECT_TRUE(IsObjectOrXRefStream("4 0 obj << /Type /ObjStm /N 1 >>\nstream\nx\nendstream"));
    EXPECT_FALSE(IsObjectOrXRefStream("4 0 obj << /Type /ObjStm >> endobj"));
    EXPECT_FALSE(IsObjectOrXRefStream("4 0 obj << /S /XRef >>\nstream\nx\nendstream"));
}

}  // namespace
