// The class tables as the browser and the page call them: event sink map arguments with vt
// checks, the automation IDispatch driven by the dispatch map, and identity through the
// interface map.
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CmdTarget.h"

namespace {

// {6D1C2B10-6B8E-4C57-9E55-0A2B3C4D5E6F}: an event interface of the test.
constexpr IID IID_TestEvents = {0x6D1C2B10, 0x6B8E, 0x4C57, {0x9E, 0x55, 0x0A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F}};

class CSinkTarget : public CCmdTarget {
public:
    int nDoc = 0, nBefore = 0, nClick = 0;
    IDispatch* pLastDisp = nullptr;
    VARIANT* pLastUrl = nullptr;
    BOOL bCancelSeen = -1;
    BOOL bSetCancel = FALSE;
    bool bThrow = false;
    std::vector<VARIANT*> beforeArgs;

    void OnDocumentComplete(LPDISPATCH pDisp, VARIANT* URL) {
        if (bThrow) throw std::bad_alloc();
        ++nDoc;
        pLastDisp = pDisp;
        pLastUrl = URL;
    }
    void OnBeforeNavigate2(LPDISPATCH pDisp, VARIANT* URL, VARIANT* Flags, VARIANT* Target,
                           VARIANT* PostData, VARIANT* Headers, BOOL* Cancel) {
        ++nBefore;
        pLastDisp = pDisp;
        beforeArgs = {URL, Flags, Target, PostData, Headers};
        bCancelSeen = *Cancel;
        if (bSetCancel) *Cancel = TRUE;
    }
    void OnElementClick(LPDISPATCH pEvtObj) {
        if (bThrow) throw std::runtime_error("handler failed");
        ++nClick;
        pLastDisp = pEvtObj;
    }
    ULONG RefCount() const { return m_dwRef; }
    IUnknown* DispatchPart() { return &m_xDispatch; }

    DECLARE_EVENTSINK_MAP()
    DECLARE_DISPATCH_MAP()
    DECLARE_INTERFACE_MAP()
};

BEGIN_EVENTSINK_MAP(CSinkTarget, CCmdTarget)
    ON_EVENT(CSinkTarget, 1000, 259, OnDocumentComplete, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CSinkTarget, 1000, 250, CSinkTarget::OnBeforeNavigate2,
             VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

BEGIN_DISPATCH_MAP(CSinkTarget, CCmdTarget)
    DISP_FUNCTION_ID(CSinkTarget, "HTMLELEMENTEVENTS2_ONCLICK", -600, OnElementClick, VT_EMPTY, VTS_DISPATCH)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(CSinkTarget, CCmdTarget)
    INTERFACE_PART(CSinkTarget, IID_TestEvents, Dispatch)
END_INTERFACE_MAP()

// Any IDispatch will do as the window argument.
IDispatch* SomeDispatch() {
    static CSinkTarget other;
    other.EnableAutomation();
    return other.GetIDispatch(FALSE);
}

VARIANT Disp(IDispatch* p) { VARIANT v; VariantInit(&v); v.vt = VT_DISPATCH; v.pdispVal = p; return v; }
VARIANT ByRefVariant(VARIANT* p) { VARIANT v; VariantInit(&v); v.vt = VT_VARIANT | VT_BYREF; v.pvarVal = p; return v; }
VARIANT Bstr(BSTR s) { VARIANT v; VariantInit(&v); v.vt = VT_BSTR; v.bstrVal = s; return v; }

}  // namespace

TEST(EventSinkMap, DocumentCompleteArgumentsAreCheckedBeforeTheHandlerRuns) {
    BSTR url = SysAllocString(L"http://127.0.0.1/x");
    VARIANT inner = Bstr(url);
    VARIANT nullRef = ByRefVariant(nullptr);
    struct Case {
        const char* what;
        std::vector<VARIANT> rgvarg;  // reversed, as the control sends them
        HRESULT expected;
        UINT argErr;
    } cases[] = {
        {"as the control sends it", {ByRefVariant(&inner), Disp(SomeDispatch())}, S_OK, 99},
        {"one argument", {Disp(SomeDispatch())}, DISP_E_BADPARAMCOUNT, 99},
        {"three arguments", {ByRefVariant(&inner), ByRefVariant(&inner), Disp(SomeDispatch())}, DISP_E_BADPARAMCOUNT, 99},
        {"no arguments", {}, DISP_E_BADPARAMCOUNT, 99},
        {"string for the window", {ByRefVariant(&inner), Bstr(url)}, DISP_E_TYPEMISMATCH, 1},
        {"address not by reference", {Bstr(url), Disp(SomeDispatch())}, DISP_E_TYPEMISMATCH, 0},
        {"null reference", {nullRef, Disp(SomeDispatch())}, DISP_E_TYPEMISMATCH, 0},
    };
    for (Case& c : cases) {
        CSinkTarget target;
        DISPPARAMS dp{c.rgvarg.data(), nullptr, static_cast<UINT>(c.rgvarg.size()), 0};
        UINT argErr = 99;
        EXPECT_EQ(target.OnEvent(1000, 259, &dp, &argErr), c.expected) << c.what;
        EXPECT_EQ(argErr, c.argErr) << c.what;
        EXPECT_EQ(target.nDoc, c.expected == S_OK ? 1 : 0) << c.what;
        if (c.expected == S_OK) {
            EXPECT_EQ(target.pLastDisp, SomeDispatch());
            EXPECT_EQ(target.pLastUrl, &inner) << "the handler gets the referenced VARIANT itself";
        }
    }
    CSinkTarget target;
    EXPECT_EQ(target.OnEvent(1000, 259, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
    VARIANT args[] = {ByRefVariant(&inner), Disp(SomeDispatch())};
    DISPID named = 0;
    DISPPARAMS withNamed{args, &named, 2, 1};
    EXPECT_EQ(target.OnEvent(1000, 259, &withNamed, nullptr), DISP_E_NONAMEDARGS);
    DISPPARAMS dp{args, nullptr, 2, 0};
    EXPECT_EQ(target.OnEvent(1001, 259, &dp, nullptr), DISP_E_MEMBERNOTFOUND) << "other control";
    EXPECT_EQ(target.OnEvent(1000, 251, &dp, nullptr), DISP_E_MEMBERNOTFOUND) << "unmapped event";
    EXPECT_EQ(target.nDoc, 0);
    SysFreeString(url);
}

TEST(EventSinkMap, CancelFlagReachesABoolHandlerAndComesBack) {
    for (BOOL set : {FALSE, TRUE}) {
        CSinkTarget target;
        target.bSetCancel = set;
        VARIANT url, flags, frame, post, postInner, headers;
        for (VARIANT* v : {&url, &flags, &frame, &post, &postInner, &headers}) VariantInit(v);
        url.vt = VT_BSTR;
        url.bstrVal = SysAllocString(L"http://127.0.0.1/y");
        flags.vt = VT_I4;
        frame.vt = VT_BSTR;
        post.vt = VT_VARIANT | VT_BYREF;
        post.pvarVal = &postInner;
        headers.vt = VT_BSTR;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANT rg[7];
        rg[6] = Disp(SomeDispatch());
        rg[5] = ByRefVariant(&url);
        rg[4] = ByRefVariant(&flags);
        rg[3] = ByRefVariant(&frame);
        rg[2] = ByRefVariant(&post);
        rg[1] = ByRefVariant(&headers);
        VariantInit(&rg[0]);
        rg[0].vt = VT_BOOL | VT_BYREF;
        rg[0].pboolVal = &cancel;
        DISPPARAMS dp{rg, nullptr, 7, 0};
        EXPECT_EQ(target.OnEvent(1000, 250, &dp, nullptr), S_OK);
        EXPECT_EQ(target.nBefore, 1);
        EXPECT_EQ(target.bCancelSeen, FALSE);
        EXPECT_EQ(target.beforeArgs, (std::vector<VARIANT*>{&url, &flags, &frame, &post, &headers}));
        EXPECT_EQ(cancel, set ? VARIANT_TRUE : VARIANT_FALSE);

        // A cancel flag passed by value is refused, not dereferenced.
        rg[0].vt = VT_BOOL;
        rg[0].boolVal = VARIANT_FALSE;
        UINT argErr = 99;
        EXPECT_EQ(target.OnEvent(1000, 250, &dp, &argErr), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(argErr, 0u);
        EXPECT_EQ(target.nBefore, 1);
        SysFreeString(url.bstrVal);
    }
}

TEST(DispatchMap, AutomationIDispatchFindsAndInvokesTheMethod) {
    CSinkTarget target;
    EXPECT_EQ(target.GetIDispatch(FALSE), nullptr) << "no IDispatch before EnableAutomation";
    void* pv = nullptr;
    EXPECT_EQ(target.ExternalQueryInterface(IID_TestEvents, &pv), E_NOINTERFACE);
    target.EnableAutomation();
    IDispatch* disp = target.GetIDispatch(FALSE);
    ASSERT_NE(disp, nullptr);
    EXPECT_EQ(target.RefCount(), 1u) << "taken without a reference";

    DISPID id = 0;
    std::wstring name = L"htmlElementEvents2_onclick";
    LPOLESTR names[] = {name.data()};
    EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, -600);
    std::wstring unknown = L"AppLogin";
    names[0] = unknown.data();
    EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    VARIANT arg = Disp(SomeDispatch());
    DISPPARAMS dp{&arg, nullptr, 1, 0};
    EXPECT_EQ(disp->Invoke(-600, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(target.nClick, 1);
    EXPECT_EQ(target.pLastDisp, SomeDispatch());
    EXPECT_EQ(disp->Invoke(-600, IID_NULL, 0, DISPATCH_PROPERTYGET, &dp, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(disp->Invoke(-601, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(disp->Invoke(-600, IID_TestEvents, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(disp->Invoke(-600, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(target.nClick, 1);
}

TEST(InterfaceMap, EventInterfaceIsTheAutomationIDispatchWithOneIdentity) {
    CSinkTarget target;
    target.EnableAutomation();
    IDispatch* disp = target.GetIDispatch(FALSE);
    void* events = nullptr;
    void* unknown = nullptr;
    void* dispatch = nullptr;
    ASSERT_EQ(target.ExternalQueryInterface(IID_TestEvents, &events), S_OK);
    ASSERT_EQ(disp->QueryInterface(IID_IUnknown, &unknown), S_OK);
    ASSERT_EQ(static_cast<IUnknown*>(events)->QueryInterface(IID_IDispatch, &dispatch), S_OK);
    EXPECT_EQ(events, static_cast<void*>(disp));
    EXPECT_EQ(unknown, static_cast<void*>(target.DispatchPart()));
    EXPECT_EQ(dispatch, static_cast<void*>(disp));
    EXPECT_EQ(target.RefCount(), 4u) << "each answer adds one reference";
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(target.ExternalQueryInterface(IID_IOleObject, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    for (int i = 0; i < 3; ++i) disp->Release();
    EXPECT_EQ(target.RefCount(), 1u);
    EXPECT_NE(target.GetIDispatch(TRUE), nullptr);
    EXPECT_EQ(target.RefCount(), 2u);
    disp->Release();
}

// A handler that throws ends the control's or the page's call with a failure result; nothing
// unwinds into the caller.
TEST(ClassTables, AThrowingHandlerFailsTheCallInsteadOfUnwindingIntoIt) {
    CSinkTarget target;
    target.EnableAutomation();
    target.bThrow = true;
    BSTR url = SysAllocString(L"http://127.0.0.1/x");
    VARIANT inner = Bstr(url);
    VARIANT docArgs[2] = {ByRefVariant(&inner), Disp(SomeDispatch())};
    DISPPARAMS doc{docArgs, nullptr, 2, 0};
    EXPECT_EQ(target.OnEvent(1000, 259, &doc, nullptr), E_UNEXPECTED);

    VARIANT clickArg = Disp(SomeDispatch());
    DISPPARAMS click{&clickArg, nullptr, 1, 0};
    EXPECT_EQ(target.GetIDispatch(FALSE)->Invoke(-600, IID_NULL, 0, DISPATCH_METHOD, &click,
                                                 nullptr, nullptr, nullptr),
              E_UNEXPECTED);
    SysFreeString(url);
}
