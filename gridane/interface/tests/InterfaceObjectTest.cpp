#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "com/ComPtr.h"
#include "com/LateBinding.h"
#include "com/ModuleLifetime.h"
#include "gridane/interface/GridaneObject.h"
#include "turnelle/interface/TurnelleObject.h"

namespace {

using namespace com;

// What the handlers of a test object saw: the last value put per DISPID and the arguments of
// the last method call.
struct Recording {
    std::map<DISPID, int32_t> integers;
    std::map<DISPID, std::string> texts;
    std::vector<std::string> methodArgs;
    int calls = 0;
};

// Handlers for every member of `description` that record into `recording`; methods return
// their arguments joined by '|'.
MemberHandlers RecordingHandlers(const InterfaceDescription& description,
                                 std::shared_ptr<Recording> recording) {
    MemberHandlers handlers;
    for (const MemberDescription& member : description.members) {
        DISPID id = member.dispId;
        if (member.kind == MemberKind::Method) {
            handlers[id] = TextMethod([recording](const std::vector<std::string>& args) {
                ++recording->calls;
                recording->methodArgs = args;
                std::string joined;
                for (size_t i = 0; i < args.size(); ++i) joined += (i > 0 ? "|" : "") + args[i];
                return joined;
            });
        } else if (member.params[0].type == ParamType::Long) {
            handlers[id] = IntegerPut([recording, id](int32_t v) {
                ++recording->calls;
                recording->integers[id] = v;
            });
        } else {
            handlers[id] = TextPut([recording, id](const std::string& v) {
                ++recording->calls;
                recording->texts[id] = v;
            });
        }
    }
    return handlers;
}

const InterfaceDescription& GridaneDescription() {
    return GridaneTypeLibrary().Interface("IGridaneCom");
}
const InterfaceDescription& TurnelleDescription() {
    return TurnelleTypeLibrary().Interface("ITurnelleCom");
}

DISPID IdOf(const InterfaceDescription& description, const char* name) {
    return description.FindMember(name)->dispId;
}

class GridaneObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CreateGridaneObject(IGridaneCom::kIid, m_gridane.Put(),
                                      RecordingHandlers(GridaneDescription(), m_recording)),
                  S_OK);
    }

    std::shared_ptr<Recording> m_recording = std::make_shared<Recording>();
    ComPtr<IGridaneCom> m_gridane;
};

// Every vtable put with its name, expanded from the contract's list: a put declared in the wrong
// slot or forwarded to the wrong DISPID shows as a value recorded under another DISPID.
struct VtablePut {
    const char* name;
    HRESULT (*call)(IGridaneCom*, int32_t value, BSTR text);
};
#define GRIDANE_VTABLE_PUT_Flag(name) object->put_##name(value)
#define GRIDANE_VTABLE_PUT_Integer(name) object->put_##name(value)
#define GRIDANE_VTABLE_PUT_Text(name) object->put_##name(text)
#define GRIDANE_VTABLE_PUT(name, dispid, kind, ...)                      \
    VtablePut{#name, [](IGridaneCom* object, int32_t value, BSTR text) { \
                  (void)value;                                           \
                  (void)text;                                            \
                  return GRIDANE_VTABLE_PUT_##kind(name);                \
              }},
const VtablePut kVtablePuts[] = {GRIDANE_PROPERTIES(GRIDANE_VTABLE_PUT)};

TEST_F(GridaneObjectTest, EveryVtablePutReachesTheHandlerOfItsDispid) {
    int32_t value = 1000;
    for (const VtablePut& put : kVtablePuts) {
        const MemberDescription* member = GridaneDescription().FindMember(put.name);
        ASSERT_NE(member, nullptr) << put.name;
        Bstr text = Bstr::FromUtf8(std::string("box of ") + put.name);
        EXPECT_EQ(put.call(m_gridane.Get(), ++value, text.Get()), S_OK) << put.name;
        if (member->params[0].type == ParamType::Long) {
            EXPECT_EQ(m_recording->integers[member->dispId], value) << put.name;
        } else {
            EXPECT_EQ(m_recording->texts[member->dispId], std::string("box of ") + put.name);
        }
    }
    EXPECT_EQ(std::size(kVtablePuts), 73u);
    EXPECT_EQ(m_recording->calls, 73);
}

TEST_F(GridaneObjectTest, AnswersForProgressReportingAndHandsTheSinkToTheEngine) {
    std::vector<IProgressSink*> received;
    ComPtr<IGridaneCom> gridane;
    ASSERT_EQ(CreateGridaneObject(IGridaneCom::kIid, gridane.Put(), {},
                                  [&](IProgressSink* sink) { received.push_back(sink); }),
              S_OK);
    ComPtr<IProgressReporting> reporting;
    ASSERT_EQ(gridane.As(&reporting), S_OK);
    NullProgressSink sink;
    EXPECT_EQ(reporting->SetProgressSink(&sink), S_OK);
    EXPECT_EQ(reporting->SetProgressSink(nullptr), S_OK);
    EXPECT_EQ(received, (std::vector<IProgressSink*>{&sink, nullptr}));
    // The same object behind both interfaces.
    ComPtr<IUnknown> viaReporting, viaGridane;
    ASSERT_EQ(reporting.As(&viaReporting), S_OK);
    ASSERT_EQ(gridane.As(&viaGridane), S_OK);
    EXPECT_EQ(viaReporting.Get(), viaGridane.Get());
    ComPtr<IGridaneCom> back;
    EXPECT_EQ(reporting.As(&back), S_OK);
    EXPECT_EQ(back.Get(), gridane.Get());

    HRESULT fromOtherThread = S_OK;
    std::thread other([&] { fromOtherThread = reporting->SetProgressSink(&sink); });
    other.join();
    EXPECT_EQ(fromOtherThread, RPC_E_WRONG_THREAD);
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(GridaneObjectTest, PutsByNameAndDispidMatchTheVtable) {
    const char16_t* names[] = {u"CropBox", u"s"};
    DISPID ids[2] = {};
    ASSERT_EQ(m_gridane->GetIDsOfNames(names, 2, ids), S_OK);
    EXPECT_EQ(ids[0], 35);
    EXPECT_EQ(ids[1], 12);
    Bstr box(u"0,0,612,792");
    Variant boxArg = Variant::String(box.Get());
    EXPECT_EQ(m_gridane->Invoke(ids[0], DISPATCH_PROPERTYPUT, {&boxArg, 1}, nullptr), S_OK);
    Variant first = Variant::Long(3);
    EXPECT_EQ(m_gridane->Invoke(ids[1], DISPATCH_PROPERTYPUT, {&first, 1}, nullptr), S_OK);
    EXPECT_EQ(m_recording->texts[35], "0,0,612,792");
    EXPECT_EQ(m_recording->integers[12], 3);
}

TEST_F(GridaneObjectTest, GetGridaneFileReturnsAStringTheCallerOwns) {
    Bstr in(u"in.pdf"), out(u"-fC:/out"), status;
    ASSERT_EQ(m_gridane->getGridaneFile(in.Get(), out.Get(), status.Out()), S_OK);
    EXPECT_EQ(status.ToUtf8(), "in.pdf|-fC:/out");
    EXPECT_EQ(m_recording->methodArgs, (std::vector<std::string>{"in.pdf", "-fC:/out"}));
    // A null input string is an empty one.
    ASSERT_EQ(m_gridane->getGridaneFile(nullptr, out.Get(), status.Out()), S_OK);
    EXPECT_EQ(status.ToUtf8(), "|-fC:/out");
    EXPECT_EQ(m_gridane->getGridaneFile(in.Get(), out.Get(), nullptr), E_POINTER);

    Variant args[] = {Variant::String(in.Get()), Variant::String(out.Get())};
    Variant result;
    ASSERT_EQ(m_gridane->Invoke(5, DISPATCH_METHOD, args, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(Bstr::Attach(result.bstrVal).ToUtf8(), "in.pdf|-fC:/out");
    // Without a result slot the server frees the string itself (the leak checker watches).
    EXPECT_EQ(m_gridane->Invoke(5, DISPATCH_METHOD, args, nullptr), S_OK);
}

TEST_F(GridaneObjectTest, BadLateBoundCallsFailWithTheirCodes) {
    Variant one = Variant::Long(1);
    Bstr text(u"x");
    Variant textArg = Variant::String(text.Get());
    struct Case {
        DISPID id;
        uint16_t flags;
        std::vector<Variant> args;
        HRESULT expected;
    };
    const Case cases[] = {
        {999, DISPATCH_PROPERTYPUT, {one}, DISP_E_MEMBERNOTFOUND},
        {-1, DISPATCH_PROPERTYPUT, {one}, DISP_E_MEMBERNOTFOUND},
        {6, DISPATCH_METHOD, {one}, DISP_E_MEMBERNOTFOUND},
        {6, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {5, DISPATCH_PROPERTYPUT, {textArg, textArg}, DISP_E_MEMBERNOTFOUND},
        {6, DISPATCH_PROPERTYPUT, {}, DISP_E_BADPARAMCOUNT},
        {6, DISPATCH_PROPERTYPUT, {one, one}, DISP_E_BADPARAMCOUNT},
        {5, DISPATCH_METHOD, {textArg}, DISP_E_BADPARAMCOUNT},
        {6, DISPATCH_PROPERTYPUT, {textArg}, DISP_E_TYPEMISMATCH},
        {35, DISPATCH_PROPERTYPUT, {one}, DISP_E_TYPEMISMATCH},
        {5, DISPATCH_METHOD, {textArg, one}, DISP_E_TYPEMISMATCH},
    };
    for (const Case& c : cases) {
        Variant result = Variant::Long(77);
        EXPECT_EQ(m_gridane->Invoke(c.id, c.flags, c.args, &result), c.expected) << c.id;
        EXPECT_EQ(result.vt, VT_EMPTY) << c.id;
    }
    EXPECT_EQ(m_recording->calls, 0);

    const char16_t* names[] = {u"up4", u"up5"};
    DISPID ids[2] = {};
    EXPECT_EQ(m_gridane->GetIDsOfNames(names, 2, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 8);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(GridaneObjectTest, CallsFromAnotherThreadAreRefused) {
    HRESULT put = S_OK, invoke = S_OK, names = S_OK, query = S_OK, method = S_OK;
    std::thread other([&] {
        put = m_gridane->put_up4(1);
        Variant one = Variant::Long(1);
        invoke = m_gridane->Invoke(8, DISPATCH_PROPERTYPUT, {&one, 1}, nullptr);
        const char16_t* name = u"up4";
        DISPID id = 0;
        names = m_gridane->GetIDsOfNames(&name, 1, &id);
        ComPtr<IDispatch> dispatch;
        query = m_gridane.As(&dispatch);
        BSTR status = nullptr;
        method = m_gridane->getGridaneFile(nullptr, nullptr, &status);
        EXPECT_EQ(status, nullptr);
    });
    other.join();
    for (HRESULT hr : {put, invoke, names, query, method}) EXPECT_EQ(hr, RPC_E_WRONG_THREAD);
    EXPECT_EQ(m_recording->calls, 0);
    EXPECT_EQ(m_gridane->put_up4(1), S_OK);  // the creating thread still may
}

TEST_F(GridaneObjectTest, AnswersForItsInterfacesOnly) {
    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> dispatch;
    ComPtr<ITurnelleCom> turnelle;
    EXPECT_EQ(m_gridane.As(&unknown), S_OK);
    EXPECT_EQ(m_gridane.As(&dispatch), S_OK);
    EXPECT_EQ(m_gridane.As(&turnelle), E_NOINTERFACE);
    EXPECT_FALSE(turnelle);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(m_gridane.Get()));
}

TEST(DispatchObject, ObjectAskedForAMissingInterfaceIsGoneAgain) {
    ASSERT_TRUE(module_lifetime::CanUnload());
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateGridaneObject(ITurnelleCom::kIid, &object, {}), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(module_lifetime::CanUnload());
    {
        ComPtr<IGridaneCom> gridane;
        ASSERT_EQ(CreateGridaneObject(IGridaneCom::kIid, gridane.Put(), {}), S_OK);
        EXPECT_FALSE(module_lifetime::CanUnload());
        EXPECT_EQ(gridane->put_ab(1), E_NOTIMPL);  // a member nobody wired
    }
    EXPECT_TRUE(module_lifetime::CanUnload());
}

TEST(DispatchObject, MethodThatThrowsReturnsTheUnexpectedExceptionText) {
    MemberHandlers handlers{
        {kDispidGetTurnelleFile,
         TextMethod([](const std::vector<std::string>&) -> std::string { throw 42; })}};
    ComPtr<ITurnelleCom> turnelle;
    ASSERT_EQ(CreateTurnelleObject(ITurnelleCom::kIid, turnelle.Put(), std::move(handlers)), S_OK);
    Bstr status;
    EXPECT_EQ(turnelle->getTurnelleFile(nullptr, nullptr, nullptr, status.Out()), S_OK);
    EXPECT_EQ(status.ToUtf8(), "Unexpected exception");
}

TEST(DispatchObject, PutThatThrowsFailsWithoutTakingTheObjectDown) {
    MemberHandlers handlers{
        {6, IntegerPut([](int32_t) { throw std::bad_alloc(); })},
        {7, IntegerPut([](int32_t) { throw std::runtime_error("no"); })},
    };
    ComPtr<ITurnelleCom> turnelle;
    ASSERT_EQ(CreateTurnelleObject(ITurnelleCom::kIid, turnelle.Put(), std::move(handlers)), S_OK);
    EXPECT_EQ(turnelle->put_type(3), E_OUTOFMEMORY);
    EXPECT_EQ(turnelle->put_rotateAngle(90), E_UNEXPECTED);
}

TEST(TurnelleObject, VtableAndDispidPathsReachTheSameHandlers) {
    auto recording = std::make_shared<Recording>();
    ComPtr<ITurnelleCom> turnelle;
    ASSERT_EQ(CreateTurnelleObject(ITurnelleCom::kIid, turnelle.Put(),
                                   RecordingHandlers(TurnelleDescription(), recording)),
              S_OK);
    Bstr pages(u"1-3,7");
    EXPECT_EQ(turnelle->put_type(3), S_OK);
    EXPECT_EQ(turnelle->put_rotateAngle(-90), S_OK);
    EXPECT_EQ(turnelle->put_rotatePages(pages.Get()), S_OK);
    EXPECT_EQ(turnelle->put_force(1), S_OK);
    EXPECT_EQ(recording->integers, (std::map<DISPID, int32_t>{{6, 3}, {7, -90}, {9, 1}}));
    EXPECT_EQ(recording->texts[8], "1-3,7");

    Variant angle = Variant::Long(180);
    EXPECT_EQ(turnelle->Invoke(IdOf(TurnelleDescription(), "rotateAngle"), DISPATCH_PROPERTYPUT,
                               {&angle, 1}, nullptr),
              S_OK);
    EXPECT_EQ(recording->integers[7], 180);

    Bstr in(u"in.pdf"), out(u"out.pdf"), params(u"ignored"), status;
    ASSERT_EQ(turnelle->getTurnelleFile(in.Get(), out.Get(), params.Get(), status.Out()), S_OK);
    EXPECT_EQ(status.ToUtf8(), "in.pdf|out.pdf|ignored");
}

}  // namespace

namespace {

using namespace com;

TEST_F(GridaneObjectTest, PutsPropertiesFromCommandLineTexts) {
    const InterfaceDescription& face = GridaneDescription();
    IGridaneCom* gridane = m_gridane.Get();
    EXPECT_EQ(PutPropertyFromText(gridane, face, "up4", "1"), S_OK);
    EXPECT_EQ(PutPropertyFromText(gridane, face, "E", "-12"), S_OK);
    EXPECT_EQ(PutPropertyFromText(gridane, face, "cropbox", "0,0,612,792"), S_OK);
    EXPECT_EQ(m_recording->integers, (std::map<DISPID, int32_t>{{8, 1}, {11, -12}}));
    EXPECT_EQ(m_recording->texts[35], "0,0,612,792");

    struct Case {
        const char* name;
        const char* value;
        HRESULT expected;
    };
    const Case cases[] = {
        {"up5", "1", DISP_E_UNKNOWNNAME},   {"getGridaneFile", "x", DISP_E_UNKNOWNNAME},
        {"s", "", DISP_E_TYPEMISMATCH},     {"s", "3 ", DISP_E_TYPEMISMATCH},
        {"s", "0x10", DISP_E_TYPEMISMATCH}, {"s", "4294967296", DISP_E_TYPEMISMATCH},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PutPropertyFromText(gridane, face, c.name, c.value), c.expected) << c.name;
    }
    EXPECT_EQ(m_recording->calls, 3);
}

}  // namespace

namespace {

using namespace com;

TEST(PropertyHandlers, EveryPropertyReachesTheByNameSetterOfItsType) {
    std::map<std::string, int32_t> integers;
    std::map<std::string, std::string> texts;
    MemberHandlers handlers = PropertyHandlers(
        GridaneDescription(),
        [&](std::string_view name, int32_t value) {
            integers[std::string(name)] = value;
            return name != "ab12";  // a setter that does not know the name
        },
        [&](std::string_view name, const std::string& value) {
            texts[std::string(name)] = value;
            return true;
        });
    EXPECT_EQ(handlers.size(), 73u);
    EXPECT_EQ(handlers.count(kDispidGetGridaneFile), 0u);
    ComPtr<IGridaneCom> gridane;
    ASSERT_EQ(CreateGridaneObject(IGridaneCom::kIid, gridane.Put(), std::move(handlers)), S_OK);
    EXPECT_EQ(gridane->put_outer_in(7), S_OK);
    EXPECT_EQ(gridane->put_seq(Bstr(u"order.txt").Get()), S_OK);
    EXPECT_EQ(gridane->put_ab12(1), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(integers, (std::map<std::string, int32_t>{{"outer_in", 7}, {"ab12", 1}}));
    EXPECT_EQ(texts, (std::map<std::string, std::string>{{"seq", "order.txt"}}));
}

}  // namespace
