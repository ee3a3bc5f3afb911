#include <gtest/gtest.h>

#include "com/ComponentContract.h"
#include "com/TypeLibrary.h"

namespace {

using namespace com;

TEST(ComponentContract, DescribesTheJobMethodFirstThenThePropertiesInListOrder) {
    // clang-format off
#define SAMPLE_PROPERTIES(X) \
    X(level, 7, Integer, "3", "", level, "how high") \
    X(label, 9, Text, "", "property the label", label, "what it says")
    // clang-format on
    static constexpr PropertyContract kProperties[] = {
        SAMPLE_PROPERTIES(VELMORA_PROPERTY_CONTRACT)};
    static constexpr std::string_view kParams[] = {"input"};
    const ComponentContract contract{
        "SampleLib",
        GuidLiteral("{0C5D8E61-2B4A-4F39-9E07-1A6C3D8B5F24}"),
        "Sample Library",
        "ISample",
        GuidLiteral("{4A1E7C92-8D35-4B60-A2F1-7E9C0B3D6A58}"),
        "ISample Interface",
        "Sample",
        GuidLiteral("{9F3B2D17-6C48-4E05-B1A9-5D2E8C7F0A63}"),
        "Sample Class",
        "libsample.so",
        {"Sample", "Sample.Sample.1", "Sample.Sample", "Apartment", false},
        {"run", 5, "method run", kParams, "result"},
        kProperties};
    EXPECT_EQ(contract.FindProperty("label"), &kProperties[1]);
    EXPECT_EQ(contract.FindProperty("Label"), nullptr);

    // Written as text and read back, the description is the one the contract gives.
    EmbeddedTypeLibrary embedded(TypeLibraryOf(contract));
    const InterfaceDescription& face = embedded.Interface("ISample");
    EXPECT_TRUE(face.dual && face.oleAutomation);
    ASSERT_EQ(face.members.size(), 3u);
    EXPECT_EQ(face.members[0].name, "run");
    EXPECT_EQ(face.members[0].ArgumentCount(), 1u);
    EXPECT_TRUE(face.members[0].HasResult());
    EXPECT_EQ(face.members[1].helpString, "property level");
    EXPECT_EQ(face.members[1].params[0].type, ParamType::Long);
    EXPECT_EQ(face.members[2].dispId, 9);
    EXPECT_EQ(face.members[2].helpString, "property the label");
    EXPECT_EQ(face.members[2].params[0].type, ParamType::Bstr);
    EXPECT_EQ(embedded.Class("Sample").defaultInterface, "ISample");
#undef SAMPLE_PROPERTIES
}

TEST(TypeLibrary, QuotedHelpStringsKeepQuotesAndBackslashes) {
    TypeLibrary library;
    library.name = "L";
    library.helpString = R"(say "hi" \ there # not a comment)";
    std::optional<TypeLibrary> reread = ReadTypeLibraryText(WriteTypeLibraryText(library), nullptr);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->helpString, library.helpString);
}

TEST(TypeLibrary, MalformedDescriptionsAreRefusedWithTheirLine) {
    const std::string head =
        "library L {88168888-A0CE-459F-A821-A03272C9F6CC} 1.0 \"h\"\n"
        "interface I {FF3E0222-C598-45F4-BD3F-B0E53601E459} IDispatch \"h\"\n";
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"", "no library declaration"},
        {"interface I {FF3E0222-C598-45F4-BD3F-B0E53601E459} IDispatch \"h\"\n",
         "line 1: the library must be declared first"},
        {"library L {not-a-guid} 1.0 \"h\"\n", "line 1: malformed identifier '{not-a-guid}'"},
        {"library L {88168888-A0CE-459F-A821-A03272C9F6CC} one \"h\"\n",
         "line 1: malformed version 'one'"},
        {"library L {88168888-A0CE-459F-A821-A03272C9F6CC} 1.0 \"unterminated\n",
         "line 1: unterminated string"},
        {head + "propput 6 a \"h\" in long v\npropput 6 b \"h\" in long v\n",
         "line 4: member b or DISPID 6 declared twice"},
        {head + "propput 6 a \"h\" in long v\npropput 7 A \"h\" in long v\n",
         "line 4: member A or DISPID 7 declared twice"},
        {head + "propput 6 a \"h\"\n", "line 3: a property put takes exactly one argument"},
        {head + "method 5 m \"h\" retval BSTR r, in long v\n",
         "line 3: the result must be the last parameter"},
        {head + "method 5 m \"h\" in double v\n", "line 3: unknown parameter type 'double'"},
        {head + "method x m \"h\"\n", "line 3: malformed DISPID 'x'"},
        {head + "method 5 m no-help\n", "line 3: a quoted help string is expected"},
        {head + "event 5 m \"h\"\n", "line 3: unknown declaration 'event'"},
        {head + "coclass C {99D24111-7D5E-43B1-8A0C-2146D223C1FF} \"h\" IMissing\n",
         "class C names the undescribed interface IMissing"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadTypeLibraryText(c.text, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

}  // namespace
