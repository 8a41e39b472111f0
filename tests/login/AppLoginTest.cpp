// The AppLogin payload handler over a corpus of payloads, good and hostile: for each, the exact
// lines appended to "log.txt", and either the exact command line the stand-in client launcher
// recorded (with the quit code the start posted and the page's click connections dropped) or no
// launch at all with the pending argument and the connections untouched. Runs under code page 936.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/LoginActiveDlg.h"
#include "app/LoginApp.h"
#include "tests/login/HandoffSupport.h"

using namespace login_test;

namespace {

// DIID_HTMLElementEvents2, the event interface of the panel's connections on anchors.
const IID kElementEvents = {0x3050F60F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

struct PayloadCase {
    std::string name;
    std::wstring text;
    std::string line1;                // log line 1 as it must be written, without its CR LF
    std::optional<std::string> auth;  // log line 2 (without CR LF); none: the text is no payload
    std::string argument;             // the launch argument, when there is one
};

// Log line 1 of a text of plain ASCII (the line feeds of a text-mode file become CR LF).
std::string AsciiLine(const std::wstring& text) {
    std::string line;
    for (wchar_t c : text) {
        if (c == L'\n') line += '\r';
        line += static_cast<char>(c);
    }
    return line;
}

struct Member {
    std::wstring name;
    std::wstring json;  // the member's value as it stands in the text
};

std::wstring Object(const std::vector<Member>& members) {
    std::wstring text = L"{";
    for (const Member& m : members) {
        if (text.size() > 1) text += L",";
        text += L"\"" + m.name + L"\":" + m.json;
    }
    return text + L"}";
}

std::vector<Member> GoodMembers() {
    return {{L"uid", L"\"1001\""},
            {L"token", L"\"t0k\""},
            {L"server_id", L"\"12\""},
            {L"other", L"\"\""},
            {L"sign", L"\"5ig\""}};
}

PayloadCase Launching(std::string name, std::wstring text, std::string auth, std::string argument,
                      std::optional<std::string> line1 = std::nullopt) {
    PayloadCase c{std::move(name), text, line1 ? *line1 : AsciiLine(text), std::move(auth),
                  std::move(argument)};
    return c;
}

PayloadCase Refused(std::string name, std::wstring text,
                    std::optional<std::string> line1 = std::nullopt) {
    return PayloadCase{std::move(name), text, line1 ? *line1 : AsciiLine(text), std::nullopt, ""};
}

std::vector<PayloadCase> Corpus() {
    std::vector<PayloadCase> corpus;
    const std::wstring good = Object(GoodMembers());

    // ---- payloads that launch ------------------------------------------------------------------
    corpus.push_back(Launching("plain payload", good, "t0k&12&&5ig",
                               " ,id^1001,auth_key^t0k&12&&5ig,pid^kovra"));
    corpus.push_back(Launching(
        "all five empty",
        Object({{L"uid", L"\"\""}, {L"token", L"\"\""}, {L"server_id", L"\"\""},
                {L"other", L"\"\""}, {L"sign", L"\"\""}}),
        "&&&", " ,id^,auth_key^&&&,pid^kovra"));
    corpus.push_back(Launching(
        "comments, other order, extra members, line feeds",
        L"/* login result */\n{\"sign\":\"S\", // signature\n\"extra\":[1,{\"uid\":\"no\"}],"
        L"\"uid\":\"u\",\"token\":\"T\",\"server_id\":\"9\",\"other\":\"o\",\"n\":null}\n",
        "T&9&o&S", " ,id^u,auth_key^T&9&o&S,pid^kovra"));
    corpus.push_back(Launching(
        "values holding the field syntax are copied verbatim",
        Object({{L"uid", L"\"1,id^2\""}, {L"token", L"\"a&b\""}, {L"server_id", L"\",pid^x\""},
                {L"other", L"\"^&,\""}, {L"sign", L"\" s \""}}),
        "a&b&,pid^x&^&,& s ", " ,id^1,id^2,auth_key^a&b&,pid^x&^&,& s ,pid^kovra"));
    corpus.push_back(Launching(
        "escapes in values are decoded",
        Object({{L"uid", L"\"q\\\"b\\\\\""}, {L"token", L"\"\\t\""}, {L"server_id", L"\"\\/\""},
                {L"other", L"\"\\u0041\""}, {L"sign", L"\"x\""}}),
        "\t&/&A&x", " ,id^q\"b\\,auth_key^\t&/&A&x,pid^kovra"));
    corpus.push_back(Launching(
        "Chinese text in the code page",
        Object({{L"uid", L"\"\u5f20\u4e09\""}, {L"token", L"\"t\""}, {L"server_id", L"\"1\""},
                {L"other", L"\"\u533a\""}, {L"sign", L"\"s\""}}),
        "t&1&\xC7\xF8&s", " ,id^\xD5\xC5\xC8\xFD,auth_key^t&1&\xC7\xF8&s,pid^kovra",
        "{\"uid\":\"\xD5\xC5\xC8\xFD\",\"token\":\"t\",\"server_id\":\"1\",\"other\":\"\xC7\xF8\","
        "\"sign\":\"s\"}"));
    corpus.push_back(Launching(
        "\\u escapes give the same characters as literal text",
        Object({{L"uid", L"\"\\u5f20\\u4e09\""}, {L"token", L"\"t\""}, {L"server_id", L"\"1\""},
                {L"other", L"\"\\u533a\""}, {L"sign", L"\"s\""}}),
        "t&1&\xC7\xF8&s", " ,id^\xD5\xC5\xC8\xFD,auth_key^t&1&\xC7\xF8&s,pid^kovra"));
    corpus.push_back(Launching(
        "characters the code page cannot hold become its default character",
        Object({{L"uid", L"\"\U0001F600\""}, {L"token", L"\"\\ud83d\\ude00\""},
                {L"server_id", L"\"\u0e01\""}, {L"other", std::wstring(L"\"") + wchar_t(0xD800) + L"\""},
                {L"sign", L"\"s\""}}),
        "??&?&?&s", " ,id^??,auth_key^??&?&?&s,pid^kovra",
        "{\"uid\":\"??\",\"token\":\"\\ud83d\\ude00\",\"server_id\":\"?\",\"other\":\"?\","
        "\"sign\":\"s\"}"));
    {
        const std::wstring tail = L"x\"z";
        std::wstring text = good + L'\0' + tail;  // the reader stops at the NUL; the log keeps all
        corpus.push_back(Launching("text after a NUL behind the object", text, "t0k&12&&5ig",
                                   " ,id^1001,auth_key^t0k&12&&5ig,pid^kovra"));
    }
    {
        std::vector<Member> members = GoodMembers();
        members.push_back({L"pad", L"\"" + std::wstring(4u << 20, L'p') + L"\""});
        corpus.push_back(Launching("several MiB in an extra member", Object(members),
                                   "t0k&12&&5ig", " ,id^1001,auth_key^t0k&12&&5ig,pid^kovra"));
    }

    // ---- texts that are no payload -------------------------------------------------------------
    const wchar_t* const notJson[] = {
        L"",          L"not json",        L"{",           L"{\"uid\":\"1\"",  L"}{",
        L"[1,2,3]",   L"\"just a string\"", L"42",        L"null",            L"true",
        L"{}",        L"{\"uid\":\"1\",}x", L"{'uid':'1'}", L"{\"uid\":\"\\ud800\"}",
    };
    for (const wchar_t* text : notJson) corpus.push_back(Refused("not a payload", text));

    // Each member missing, and each member of every other JSON type.
    const wchar_t* const notStrings[] = {L"1001", L"-1.5e3", L"null", L"{}",
                                         L"{\"a\":\"b\"}", L"[]", L"[\"1001\"]", L"true"};
    for (size_t i = 0; i < GoodMembers().size(); ++i) {
        std::vector<Member> members = GoodMembers();
        const std::string member(members[i].name.begin(), members[i].name.end());
        members.erase(members.begin() + static_cast<std::ptrdiff_t>(i));
        corpus.push_back(Refused("missing " + member, Object(members)));
        for (const wchar_t* value : notStrings) {
            members = GoodMembers();
            members[i].json = value;
            corpus.push_back(Refused(member + " not a string", Object(members)));
        }
        members = GoodMembers();
        members[i].json = L"\"a\\u0000b\"";
        corpus.push_back(Refused(member + " holding an escaped NUL", Object(members)));
        members = GoodMembers();
        members[i].json = std::wstring(L"\"a") + L'\0' + L"b\"";
        corpus.push_back(Refused(member + " holding a NUL", Object(members)));
    }
    {
        // A name differing only in case is another member.
        std::vector<Member> members = GoodMembers();
        members[0].name = L"UID";
        corpus.push_back(Refused("member name in other case", Object(members)));
    }
    corpus.push_back(Refused("NUL before the object ends", std::wstring(L"{\"uid\"") + L'\0' +
                                                               good.substr(6)));
    corpus.push_back(Refused("nesting deeper than the reader allows", std::wstring(5000, L'[')));
    {
        std::wstring deep = good.substr(0, good.size() - 1) + L",\"deep\":" +
                            std::wstring(3000, L'[') + std::wstring(3000, L']') + L"}";
        corpus.push_back(Refused("deep nesting inside a payload", deep));
    }
    corpus.push_back(Refused("several MiB of text", std::wstring(6u << 20, L'x')));
    corpus.push_back(Refused("lone surrogates in text",
                             std::wstring(L"a") + wchar_t(0xDC00) + L"b" + wchar_t(0xD800), "a?b?"));
    return corpus;
}

class AppLoginPayloads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 936u) << "the tests expect the code page of a Chinese Windows";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // As the panel's initialisation does before the first page: the connections' sink.
        m_panel.EnableAutomation();
        TakeQuitMessage();
    }
    void TearDown() override {
        TakeQuitMessage();
        m_panel.m_mapAnchorConnections.clear();
        CoUninitialize();
    }
    std::wstring LogPath() const { return m_dir.Path() + L"\\log.txt"; }

    ScopedWorkDir m_dir;
    CLoginActiveDlg m_panel{nullptr};
};

}  // namespace

TEST_F(AppLoginPayloads, CorpusGivesExactLogLinesAndLaunches) {
    const std::string earlier = "an earlier run\r\n\xD5\xC5\r\n";
    WriteBytes(LogPath(), earlier);
    std::string log = earlier;

    for (const PayloadCase& c : Corpus()) {
        SCOPED_TRACE(c.name + ": " + Printable(c.line1.substr(0, 120)));
        ClearLaunchRecord();
        TakeQuitMessage();
        theApp.m_strLaunchArgument = "earlier argument";
        TestAnchor anchor(L"a", kElementEvents, false, 7);
        ASSERT_TRUE(ConnectAnchor(m_panel, L"http://h/a", anchor, kElementEvents));

        const ULONGLONG started = GetTickCount64();
        m_panel.OnAppLogin(c.text);
        if (c.text.size() > (1u << 20))  // a figure, not a limit
            std::printf("[ figure   ] OnAppLogin, %s, %zu code units: %llu ms\n", c.name.c_str(),
                        c.text.size(), GetTickCount64() - started);

        log += c.line1 + "\r\n";
        if (c.auth) log += *c.auth + "\r\n";
        const std::string written = ReadBytes(LogPath());
        EXPECT_EQ(written.size(), log.size());
        if (written != log) {
            const size_t at = std::mismatch(written.begin(), written.end(), log.begin(), log.end())
                                  .first - written.begin();
            ADD_FAILURE() << "log differs from byte " << at << ": written \""
                          << Printable(written.substr(at, 80)) << "\", expected \""
                          << Printable(log.substr(at, 80)) << "\"";
            log = written;  // judge the next case on its own lines
        }

        if (c.auth) {
            const auto record = WaitForLaunchRecord();
            ASSERT_TRUE(record) << "the stand-in client launcher recorded no command line";
            EXPECT_EQ(Printable(*record), Printable(ExpectedCommandLine(c.argument)));
            EXPECT_EQ(Printable(theApp.m_strLaunchArgument), Printable(c.argument));
            EXPECT_EQ(TakeQuitMessage(), 16) << "the start posts the quit message with code 16";
            EXPECT_TRUE(m_panel.m_mapAnchorConnections.empty()) << "click connections dropped";
            EXPECT_EQ(anchor.UnadviseCalls(), 1);
            EXPECT_FALSE(anchor.Connected());
        } else {
            EXPECT_EQ(theApp.m_strLaunchArgument, "earlier argument") << "nothing stored";
            EXPECT_FALSE(TakeQuitMessage()) << "nothing launched";
            EXPECT_FALSE(WaitForLaunchRecord(0)) << "nothing launched";
            EXPECT_EQ(m_panel.m_mapAnchorConnections.size(), 1u) << "click connections kept";
            EXPECT_EQ(anchor.UnadviseCalls(), 0);
            EXPECT_TRUE(anchor.Connected());
            m_panel.DisconnectAnchors();
        }
        EXPECT_EQ(anchor.References(), 0u) << "the registry's reference on the anchor was given up";
    }
}

// The log is shared: another program holding it open for reading and writing does not stop the
// lines, and they are in the file as soon as the handler has written them.
TEST_F(AppLoginPayloads, LogIsSharedWithOtherReadersAndWriters) {
    HANDLE other = CreateFileW(LogPath().c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(other, "mine\r\n", 6, &written, nullptr);

    m_panel.OnAppLogin(L"first, not json");
    m_panel.OnAppLogin(L"second, not json");
    EXPECT_EQ(ReadBytes(LogPath()), "mine\r\nfirst, not json\r\nsecond, not json\r\n");
    CloseHandle(other);
}

// Without a log the login still goes ahead.
TEST_F(AppLoginPayloads, LoginGoesAheadWhenTheLogCannotBeOpened) {
    ASSERT_TRUE(CreateDirectoryW(LogPath().c_str(), nullptr));  // "log.txt" cannot be a file now
    ClearLaunchRecord();
    m_panel.OnAppLogin(Object(GoodMembers()));
    const auto record = WaitForLaunchRecord();
    ASSERT_TRUE(record) << "the stand-in client launcher recorded no command line";
    EXPECT_EQ(*record, ExpectedCommandLine(" ,id^1001,auth_key^t0k&12&&5ig,pid^kovra"));
    EXPECT_EQ(TakeQuitMessage(), 16);
}
