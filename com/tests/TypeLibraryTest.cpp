#include <gtest/gtest.h>

#include "com/GridaneInterface.h"
#include "com/TurnelleInterface.h"
#include "com/TypeLibrary.h"

namespace {

using namespace com;

std::vector<std::string> MemberNames(const InterfaceDescription& description) {
    std::vector<std::string> names;
    for (const MemberDescription& member : description.members) names.push_back(member.name);
    return names;
}

TEST(TypeLibrary, GridaneDescribesItsIdentityAndEveryMemberInOrder) {
    const TypeLibrary& library = GridaneTypeLibrary().Library();
    EXPECT_EQ(library.name, "GridaneLib");
    EXPECT_EQ(library.libId, LIBID_GridaneLib);
    EXPECT_EQ(library.helpString, "Gridane 1.0 Type Library");
    EXPECT_EQ(library.VersionText(), "1.0");
    const ClassDescription& gridane = GridaneTypeLibrary().Class("GridaneCom");
    EXPECT_EQ(gridane.clsid, CLSID_GridaneCom);
    EXPECT_EQ(gridane.helpString, "GridaneCom Class");
    const InterfaceDescription& face = GridaneTypeLibrary().Interface("IGridaneCom");
    EXPECT_EQ(face.iid, IID_IGridaneCom);
    EXPECT_EQ(face.helpString, "IGridaneCom Interface");
    EXPECT_TRUE(face.dual && face.oleAutomation);
    EXPECT_EQ(face.parent, "IDispatch");
    EXPECT_EQ(MemberNames(face), (std::vector<std::string>{"getGridaneFile",
                                                           "duplicate",
                                                           "down",
                                                           "up4",
                                                           "ab",
                                                           "ab4",
                                                           "e",
                                                           "s",
                                                           "split",
                                                           "rightmargin",
                                                           "cropbox",
                                                           "mediabox",
                                                           "bottommargin",
                                                           "seq",
                                                           "duplex",
                                                           "duplex1423",
                                                           "duplex4123",
                                                           "up3x2",
                                                           "up2x3",
                                                           "ab6",
                                                           "outer_in",
                                                           "up2to1",
                                                           "offset_split",
                                                           "up2to1h",
                                                           "rotateLeft",
                                                           "rotateRight",
                                                           "ab8",
                                                           "ab10",
                                                           "ab12",
                                                           "up4x2",
                                                           "up2x4",
                                                           "up5x2",
                                                           "up2x5",
                                                           "up6x2",
                                                           "up2x6",
                                                           "up4x3",
                                                           "up3x4",
                                                           "up3",
                                                           "up3down",
                                                           "ab3",
                                                           "duplex1342",
                                                           "cropbox2",
                                                           "mediabox2"}));
    struct Expected {
        const char* name;
        DISPID dispId;
        ParamType type;
    };
    for (Expected e : {Expected{"duplicate", 6, ParamType::Long},
                       {"s", 12, ParamType::Long},
                       {"split", 30, ParamType::Long},
                       {"cropbox", 35, ParamType::Bstr},
                       {"seq", 38, ParamType::Bstr},
                       {"duplex", 39, ParamType::Long},
                       {"offset_split", 47, ParamType::Long},
                       {"up3x4", 61, ParamType::Long},
                       {"cropbox2", 66, ParamType::Bstr},
                       {"mediabox2", 67, ParamType::Bstr}}) {
        const MemberDescription* member = face.FindMember(e.name);
        ASSERT_NE(member, nullptr) << e.name;
        EXPECT_EQ(member->dispId, e.dispId) << e.name;
        EXPECT_EQ(member->kind, MemberKind::PropertyPut) << e.name;
        EXPECT_EQ(member->params.at(0).type, e.type) << e.name;
    }
    const MemberDescription& method = face.members.front();
    EXPECT_EQ(method.dispId, 5);
    EXPECT_EQ(method.ArgumentCount(), 2u);
    EXPECT_TRUE(method.HasResult());
    EXPECT_EQ(method.params[0].name, "m_intputFile");
}

TEST(TypeLibrary, TurnelleDescribesItsIdentityMembersAndHelpStrings) {
    const TypeLibrary& library = TurnelleTypeLibrary().Library();
    EXPECT_EQ(library.libId, LIBID_TurnelleLib);
    EXPECT_EQ(library.helpString, "Turnelle 1.0 Type Library");
    EXPECT_EQ(TurnelleTypeLibrary().Class("TurnelleCom").clsid, CLSID_TurnelleCom);
    EXPECT_EQ(TurnelleTypeLibrary().Class("TurnelleCom").helpString, "TurnelleCom Class");
    const InterfaceDescription& face = TurnelleTypeLibrary().Interface("ITurnelleCom");
    EXPECT_EQ(face.iid, IID_ITurnelleCom);
    EXPECT_EQ(face.helpString, "ITurnelleCom Interface");
    EXPECT_EQ(MemberNames(face), (std::vector<std::string>{"getTurnelleFile", "type", "rotateAngle",
                                                           "rotatePages", "force"}));
    const char* helps[] = {"method getTurnelleFile", "property m_ret", "property m_Rotate",
                           "property m_strRotatePagesList", "property force"};
    for (size_t i = 0; i < face.members.size(); ++i) {
        EXPECT_EQ(face.members[i].dispId, DISPID(5 + i));
        EXPECT_EQ(face.members[i].helpString, helps[i]);
    }
    EXPECT_EQ(face.members[0].ArgumentCount(), 3u);
    EXPECT_EQ(face.FindMember("ROTATEPAGES")->params[0].type, ParamType::Bstr);
}

TEST(TypeLibrary, TextRoundTrips) {
    for (const EmbeddedTypeLibrary* embedded : {&GridaneTypeLibrary(), &TurnelleTypeLibrary()}) {
        std::string written = WriteTypeLibraryText(embedded->Library());
        std::string error;
        std::optional<TypeLibrary> reread = ReadTypeLibraryText(written, &error);
        ASSERT_TRUE(reread) << error;
        EXPECT_EQ(WriteTypeLibraryText(*reread), written);
    }
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
