// libgridane.so driven as the desktop program drives it: created by class identifier from the
// registry, properties put through the vtable and by name, real files imposed.
#include <gtest/gtest.h>

#include "com/ComPtr.h"
#include "com/LateBinding.h"
#include "com/ProgressSink.h"
#include "com/ServerRegistration.h"
#include "com/tests/ServerTestSupport.h"
#include "gridane/interface/GridaneObject.h"
#include "testing/RecordingSink.h"
#include "testing/Tools.h"
#include "turnelle/interface/TurnelleInterface.h"

namespace {

using namespace com;
using com_test::BuiltModule;

class GridaneServerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(m_registry.Register(m_module), S_OK); }
    void TearDown() override { CoFreeUnusedLibraries(); }

    HRESULT Create(ComPtr<IGridaneCom>* object) {
        return com_test::CreateLikeTheMainWindow(CLSID_GridaneCom, object);
    }
    std::string Impose(IGridaneCom* gridane, const std::string& input, const std::string& output) {
        Bstr status;
        EXPECT_EQ(gridane->getGridaneFile(Bstr::FromUtf8(input).Get(), Bstr::FromUtf8(output).Get(),
                                          status.Out()),
                  S_OK);
        EXPECT_FALSE(status.IsNull());  // success is an empty string, never a null one
        return status.ToUtf8();
    }
    std::string EightPages() {
        std::string pdf = m_scratch.File("eight.pdf");
        testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(8), pdf);
        return pdf;
    }

    std::string m_module = BuiltModule(kGridaneModuleName);
    com_test::ScratchRegistry m_registry;
    com_test::ComOnThisThread m_com;
    testing_support::ScratchDir m_scratch;
};

TEST_F(GridaneServerTest, RegistrationRecordsTheModuleAndItsTypeLibrary) {
    Registry registry = m_registry.Load();
    const std::string classKey = "CLSID\\" + ToString(CLSID_GridaneCom);
    EXPECT_EQ(registry.GetValue(classKey + "\\InprocServer32"), m_module);
    EXPECT_EQ(registry.GetValue(classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(registry.GetValue("Gridane.GridaneCom\\CurVer"), "Gridane.GridaneCom.1");
    EXPECT_EQ(registry.GetValue("Gridane.GridaneCom.1\\CLSID"), ToString(CLSID_GridaneCom));
    EXPECT_FALSE(registry.HasKey(classKey + "\\Programmable"));
    TypeLibrary library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_GridaneLib, 1, 0, &library), S_OK);
    EXPECT_EQ(WriteTypeLibraryText(library), WriteTypeLibraryText(GridaneTypeLibrary().Library()));

    ASSERT_EQ(m_registry.Unregister(m_module), S_OK);
    EXPECT_TRUE(m_registry.Load().AllKeys().empty());
    ComPtr<IGridaneCom> gridane;
    EXPECT_EQ(Create(&gridane), REGDB_E_CLASSNOTREG);
}

TEST_F(GridaneServerTest, EveryPropertyPutSucceedsThroughBothPaths) {
    ComPtr<IGridaneCom> gridane;
    ASSERT_EQ(Create(&gridane), S_OK);
    for (const MemberDescription& member : GridaneTypeLibrary().Interface("IGridaneCom").members) {
        if (member.kind != MemberKind::PropertyPut) continue;
        bool isText = member.params[0].type == ParamType::Bstr;
        Bstr empty(u"");
        Variant value = isText ? Variant::String(empty.Get()) : Variant::Long(0);
        EXPECT_EQ(gridane->Invoke(member.dispId, DISPATCH_PROPERTYPUT, {&value, 1}, nullptr), S_OK)
            << member.name;
        EXPECT_EQ(PutPropertyFromText(gridane.Get(), GridaneTypeLibrary().Interface("IGridaneCom"),
                                      member.name, isText ? "" : "0"),
                  S_OK)
            << member.name;
    }
    // Through the vtable, a few of each kind (the dispatch test covers every slot).
    EXPECT_EQ(gridane->put_ab(1), S_OK);
    EXPECT_EQ(gridane->put_e(99999), S_OK);
    EXPECT_EQ(gridane->put_s(1), S_OK);
    EXPECT_EQ(gridane->put_cropbox(Bstr(u"0,0,612,792").Get()), S_OK);
}

TEST_F(GridaneServerTest, ImposesRealFilesThroughTheVtableAndByDispid) {
    std::string input = EightPages();
    ComPtr<IGridaneCom> gridane;
    ASSERT_EQ(Create(&gridane), S_OK);

    std::string twoUp = m_scratch.File("two-up.pdf");
    EXPECT_EQ(Impose(gridane.Get(), input, twoUp), "");  // a new object imposes 2-up
    EXPECT_TRUE(testing_support::QpdfCheck(twoUp));
    EXPECT_EQ(testing_support::PageCount(twoUp), 4);

    EXPECT_EQ(gridane->put_up4(1), S_OK);
    std::string fourUp = m_scratch.File("four-up.pdf");
    EXPECT_EQ(Impose(gridane.Get(), input, fourUp), "");
    EXPECT_EQ(testing_support::PageCount(fourUp), 2);

    // The same job late-bound: the settings are kept between calls, so undo up4 by DISPID.
    const char16_t* name = u"up4";
    DISPID up4 = 0;
    ASSERT_EQ(gridane->GetIDsOfNames(&name, 1, &up4), S_OK);
    Variant off = Variant::Long(0);
    ASSERT_EQ(gridane->Invoke(up4, DISPATCH_PROPERTYPUT, {&off, 1}, nullptr), S_OK);
    Bstr in = Bstr::FromUtf8(input), out = Bstr::FromUtf8(m_scratch.File("late.pdf"));
    Variant args[] = {Variant::String(in.Get()), Variant::String(out.Get())};
    Variant status;
    ASSERT_EQ(gridane->Invoke(kDispidGetGridaneFile, DISPATCH_METHOD, args, &status), S_OK);
    EXPECT_EQ(Bstr::Attach(status.bstrVal).ToUtf8(), "");
    EXPECT_EQ(testing_support::PageCount(m_scratch.File("late.pdf")), 4);
}

TEST_F(GridaneServerTest, ProgressAndWarningsGoToTheSinkTheClientPasses) {
    ComPtr<IGridaneCom> gridane;
    ASSERT_EQ(Create(&gridane), S_OK);
    ComPtr<IProgressReporting> reporting;
    ASSERT_EQ(gridane.As(&reporting), S_OK);
    testing_support::RecordingSink sink;
    ASSERT_EQ(reporting->SetProgressSink(&sink), S_OK);
    std::string input = EightPages();
    std::string output = m_scratch.File("reported.pdf");
    EXPECT_EQ(Impose(gridane.Get(), input, output), "");
    EXPECT_NE(sink.progress.find("Input file: '" + input + "'"), std::string::npos)
        << sink.progress;
    EXPECT_NE(sink.progress.find("Processing"), std::string::npos);
    EXPECT_TRUE(sink.warnings.empty());

    // A doubling pre-pass that cannot read its input warns, then the run fails.
    EXPECT_EQ(gridane->put_up2to1(1), S_OK);
    std::string missing = m_scratch.File("missing.pdf");
    EXPECT_EQ(Impose(gridane.Get(), missing, output), "Input file open error\n");
    ASSERT_EQ(sink.warnings.size(), 1u);
    EXPECT_EQ(sink.warnings[0], "File1 open error: '" + missing + "'");

    // Without a sink the object reports nowhere.
    ASSERT_EQ(reporting->SetProgressSink(nullptr), S_OK);
    size_t reported = sink.progress.size();
    EXPECT_EQ(gridane->put_up2to1(0), S_OK);
    EXPECT_EQ(Impose(gridane.Get(), input, output), "");
    EXPECT_EQ(sink.progress.size(), reported);
}

TEST_F(GridaneServerTest, FailuresComeBackAsStatusTextsNotResultCodes) {
    ComPtr<IGridaneCom> gridane;
    ASSERT_EQ(Create(&gridane), S_OK);
    EXPECT_EQ(Impose(gridane.Get(), m_scratch.File("missing.pdf"), m_scratch.File("out.pdf")),
              "Input file open error\n");
}

TEST_F(GridaneServerTest, WrongInterfaceAndWrongThreadFailAndTheServerUnloads) {
    com_test::ExpectApartmentAndLifetimeRules<IGridaneCom, ITurnelleCom>(
        CLSID_GridaneCom, m_module, [](IGridaneCom* object) { return object->put_up4(1); });
}

}  // namespace
