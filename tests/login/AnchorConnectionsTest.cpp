// Dropping the panel's click connections: every recorded connection is unadvised with its own
// cookie, in key order by UTF-16 code units, and removed, also when its source refuses. The
// anchors are test objects with a connection point that counts and can refuse Unadvise; the
// unadvise itself is the framework's real connection code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/LoginActiveDlg.h"
#include "tests/login/HandoffSupport.h"

using namespace login_test;

namespace {

const IID kElementEvents = {0x3050F60F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
const IID kOtherEvents = {0x3050F610, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class AnchorConnections : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // As the panel's initialisation does before the first page: the connections' sink.
        m_panel.EnableAutomation();
        TestAnchor::Journal().clear();
    }
    void TearDown() override {
        m_panel.m_mapAnchorConnections.clear();
        CoUninitialize();
    }
    void Add(const std::wstring& href, TestAnchor& anchor) {
        ASSERT_TRUE(ConnectAnchor(m_panel, href, anchor, kElementEvents));
    }
    ULONG PanelReferences() {
        IDispatch* p = m_panel.GetIDispatch(TRUE);
        return p ? p->Release() : 0;
    }

    CLoginActiveDlg m_panel{nullptr};
};

}  // namespace

TEST_F(AnchorConnections, EveryEntryIsUnadvisedInCodeUnitOrderAndRemoved) {
    // Keys whose code-unit order differs from case-blind and from code-point order.
    TestAnchor empty(L"", kElementEvents, false, 15), upper(L"B", kElementEvents, false, 13),
        lowerA(L"a", kElementEvents, false, 17), lowerB(L"b", kElementEvents, true, 11),
        accent(L"\u00e9", kElementEvents, false, 16), emoji(L"\U0001F600", kElementEvents, true, 14),
        wide(L"\uFF41", kElementEvents, false, 12), otherIid(L"other", kOtherEvents, false, 18);
    const ULONG panelReferences = PanelReferences();
    Add(L"b", lowerB);
    Add(L"\uFF41", wide);
    Add(L"B", upper);
    Add(L"\U0001F600", emoji);
    Add(L"", empty);
    Add(L"\u00e9", accent);
    Add(L"a", lowerA);
    // A source that offers no point for the entry's interface.
    m_panel.m_mapAnchorConnections.emplace(
        L"\U0001F600x",
        AnchorConnection{ComPtr<IUnknown>(static_cast<IConnectionPointContainer*>(&otherIid)),
                         kElementEvents, 18, L"\U0001F600x"});
    EXPECT_EQ(PanelReferences(), panelReferences) << "connections keep no reference on the panel";

    m_panel.DisconnectAnchors();

    const std::vector<std::pair<std::wstring, DWORD>> expected = {
        {L"", 15}, {L"B", 13}, {L"a", 17}, {L"b", 11}, {L"\u00e9", 16}, {L"\U0001F600", 14},
        {L"\uFF41", 12}};
    EXPECT_EQ(TestAnchor::Journal(), expected) << "Unadvise calls (anchor, cookie) in order";
    EXPECT_TRUE(m_panel.m_mapAnchorConnections.empty()) << "refused ones are removed as well";
    EXPECT_EQ(otherIid.LookUps(), 1) << "the other source was asked for the entry's interface";
    for (TestAnchor* anchor : {&empty, &upper, &lowerA, &accent, &wide})
        EXPECT_FALSE(anchor->Connected()) << "unadvised";
    EXPECT_TRUE(lowerB.Connected() && emoji.Connected()) << "the refusing sources kept theirs";
    for (TestAnchor* anchor : {&empty, &upper, &lowerA, &lowerB, &accent, &emoji, &wide, &otherIid})
        EXPECT_EQ(anchor->References(), 0u) << "every anchor's reference was given up";
    EXPECT_EQ(PanelReferences(), panelReferences) << "the sink's count is left as it was";

    // The registry is empty now: a second call finds nothing to do.
    m_panel.DisconnectAnchors();
    EXPECT_EQ(TestAnchor::Journal().size(), expected.size());
}

TEST_F(AnchorConnections, NeverFilledRegistryDoesNothing) {
    m_panel.DisconnectAnchors();
    m_panel.DisconnectAnchors();
    EXPECT_TRUE(TestAnchor::Journal().empty());
    EXPECT_TRUE(m_panel.m_mapAnchorConnections.empty());
}

// After a disconnect the registry takes new connections, and the next disconnect drops only them.
TEST_F(AnchorConnections, RefilledRegistryIsDisconnectedAfresh) {
    TestAnchor first(L"first", kElementEvents, false, 1), second(L"second", kElementEvents, false, 2);
    Add(L"http://h/1", first);
    m_panel.DisconnectAnchors();
    Add(L"http://h/1", second);
    m_panel.DisconnectAnchors();
    const std::vector<std::pair<std::wstring, DWORD>> expected = {{L"first", 1}, {L"second", 2}};
    EXPECT_EQ(TestAnchor::Journal(), expected);
    EXPECT_EQ(first.UnadviseCalls(), 1);
    EXPECT_EQ(second.UnadviseCalls(), 1);
}
