// The game launch with real processes: the stand-in client launcher (copied next to this test as
// kovra_vornbt_launch.exe, or served by a scripted HTTP server on the CDN host's loopback port)
// records the exact command line it was started with. Message boxes are found from a watcher
// thread, read and dismissed with their OK button; the quit message is read from this thread's queue.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "BuildSettings.h"
#include "app/LoginApp.h"
#include "launch/GameStart.h"
#include "launch/LauncherDownload.h"
#include "login/LaunchArgument.h"
#include "tests/launch/LoopbackHttpServer.h"
#include "tests/launch/MessageBoxWatcher.h"

namespace {
const std::wstring kDir = GetModuleDir();
const std::wstring kTarget = kDir + L"/kovra_vornbt_launch.exe";
// Where the download is written until it has arrived whole.
const std::wstring kPartial = kTarget + L".part";
const std::wstring kRecord = kDir + L"/kovra_vornbt_launch.cmdline";
const std::wstring kStandIn = kDir + L"/stand_in_launcher.exe";
const u_short kCdnPort = PortOfHost(CDN_HOST);
constexpr char kRequestLine[] = "GET /zentavorn/vorn_web/kovra_vornbt_launch_1.exe HTTP/1.1";
constexpr wchar_t kFailCaption[] = L"【启动失败】";
constexpr wchar_t kFailText[] = L"启动游戏失败，请重新启动！";

std::string Narrow(const std::wstring& text) {
    std::string out;
    if (text.empty()) return out;
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD n = 0;
    while (ReadFile(h, chunk, sizeof(chunk), &n, nullptr) && n > 0) bytes.append(chunk, n);
    CloseHandle(h);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << Narrow(path);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size()) << Narrow(path);
}

// The stand-in's command line record, once it has been written.
std::optional<std::string> WaitForRecord(DWORD timeoutMs = 15000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (auto bytes = ReadBytes(kRecord)) return bytes;
        Sleep(50);
    }
    return std::nullopt;
}

// The exit code of a posted quit message, taking it off the queue.
std::optional<int> TakeQuitCode() {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return static_cast<int>(msg.wParam);
    return std::nullopt;
}

// The stand-in launcher's own bytes, padded to a few MiB with a pattern (it still runs: the
// loader ignores what follows the image).
const std::string& LauncherBody() {
    static const std::string body = [] {
        std::string bytes = ReadBytes(kStandIn).value_or("");
        unsigned state = 12345;
        while (bytes.size() < 3u * 1024 * 1024 + 4321) {
            state = state * 1103515245u + 12345u;
            bytes.push_back(static_cast<char>(state >> 16));
        }
        return bytes;
    }();
    return body;
}

std::string QuotedTargetInAnsi() {
    const std::wstring quoted = L"\"" + kTarget + L"\"";
    std::string out(quoted.size() * 2, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_THREAD_ACP, 0, quoted.data(),
                                                       static_cast<int>(quoted.size()), out.data(),
                                                       static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::wstring SystemText(DWORD error) {
    wchar_t text[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, 512, nullptr);
    while (n > 0 && (text[n - 1] == L'\n' || text[n - 1] == L'\r')) --n;
    return std::wstring(text, n);
}

std::string Describe(const std::vector<SeenMessageBox>& boxes) {
    std::string text;
    for (const auto& b : boxes) {
        text += '[';
        text += Narrow(b.caption);
        text += ": ";
        text += Narrow(b.text);
        text += "] ";
    }
    return text.empty() ? "none" : text;
}

// Every case starts with nothing of the launcher next to the test and an empty queue.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Exists(kStandIn)) << "stand-in launcher missing: " << Narrow(kStandIn);
        Clean();
        while (TakeQuitCode()) {}
    }
    void TearDown() override {
        Clean();
        while (TakeQuitCode()) {}
    }
    static void Clean() {
        DeleteFileW(kTarget.c_str());
        DeleteFileW(kRecord.c_str());
        DeleteFileW(kPartial.c_str());
        RemoveDirectoryW(kPartial.c_str());
        RemoveDirectoryW(kTarget.c_str());
    }
};
}  // namespace

// ---- The pending launch argument and the program's directory: pure data ----

TEST(LaunchArgument, StoredInTheThreadCodePage) {
    CPINFOEXW info{};
    ASSERT_TRUE(GetCPInfoExW(CP_THREAD_ACP, 0, &info));
    ASSERT_EQ(info.CodePage, 936u);
    ASSERT_EQ(info.DefaultChar[0], '?');
    struct Case {
        const wchar_t* text;
        std::string stored;
    };
    const Case cases[] = {
        {L"", ""},
        {L" ,id^1001,auth_key^t&12&&s,pid^kovra", " ,id^1001,auth_key^t&12&&s,pid^kovra"},
        {L"玩家", "\xCD\xE6\xBC\xD2"},
        // Thai letters are not in GBK: each becomes the default character.
        {L"a\u0E01b\u0E02c", "a?b?c"},
    };
    for (const Case& c : cases) {
        theApp.m_strLaunchArgument = "previous";
        SetLaunchArgument(c.text);
        EXPECT_EQ(theApp.m_strLaunchArgument, c.stored) << "text " << Narrow(c.text);
    }
}

TEST(LaunchArgument, LaterWriteReplacesEarlier) {
    SetLaunchArgument(L" ,id^1,auth_key^a&b&c&d,pid^kovra");
    SetLaunchArgument(L"http://h/pavix/codeCallback.htm?code=9");
    EXPECT_EQ(theApp.m_strLaunchArgument, "http://h/pavix/codeCallback.htm?code=9");
}

TEST(ModuleDir, PathStep) {
    struct Case {
        const wchar_t* path;
        const wchar_t* dir;
    };
    const Case cases[] = {
        {L"D:\\Play\\client\\start.exe", L"D:/Play/client"},
        {L"C:\\start.exe", L"C:"},
        {L"D:/Play/client/start.exe", L"D:/Play/client"},
        {L"D:\\Play/client\\start.exe", L"D:/Play/client"},
        {L"\\\\server\\share\\start.exe", L"//server/share"},
        {L"start.exe", L""},
    };
    for (const Case& c : cases) {
        const std::wstring dir = GetDirOfPath(c.path);
        EXPECT_EQ(Narrow(dir), Narrow(c.dir)) << "path " << Narrow(c.path);
    }
    EXPECT_EQ(Narrow(GetDirOfPath(L"C:\\start.exe") + L"/" + kLauncherFileName),
              "C:/kovra_vornbt_launch.exe");
}

TEST(ModuleDir, IsThisProgramsFolder) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring dir = GetModuleDir();
    EXPECT_EQ(dir.find(L'\\'), std::wstring::npos) << Narrow(dir);
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), L'/') << Narrow(dir);
    std::wstring expected = self;
    for (auto& ch : expected)
        if (ch == L'\\') ch = L'/';
    EXPECT_EQ(Narrow(dir), Narrow(expected.substr(0, expected.rfind(L'/'))));
}

TEST(DownloadChunk, NeverBelowTheMinimum) {
    struct Case {
        DWORD firstAvailable;
        DWORD chunk;
    };
    // 7986 is what WinINet under Wine reports first for a large body on loopback.
    const Case cases[] = {{0, 1u << 20},         {1, 1u << 20},
                          {7986, 1u << 20},      {1u << 20, 1u << 20},
                          {(1u << 20) + 1, (1u << 20) + 1}};
    for (const Case& c : cases)
        EXPECT_EQ(DownloadChunkSize(c.firstAvailable), c.chunk) << "first count " << c.firstAvailable;
}

// ---- Launcher present: started at once, nothing requested ----

struct PresentCase {
    const char* name;
    const wchar_t* argument;
    std::string commandLineTail;  // what follows the quoted launcher path, in code page 936
};

void PrintTo(const PresentCase& c, std::ostream* os) { *os << c.name; }

class LauncherPresent : public LaunchTest, public ::testing::WithParamInterface<PresentCase> {};

TEST_P(LauncherPresent, StartsAtOnceWithTheExactCommandLine) {
    const PresentCase& c = GetParam();
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), kTarget.c_str(), FALSE));
    HttpAnswer answer;
    answer.body = "must not be fetched";
    LoopbackHttpServer server(kCdnPort, answer);
    ASSERT_TRUE(server.Listening()) << "port " << kCdnPort;
    MessageBoxWatcher watcher;

    SetLaunchArgument(c.argument);
    LaunchGame();

    EXPECT_EQ(TakeQuitCode(), std::optional<int>(16));
    const auto record = WaitForRecord();
    ASSERT_TRUE(record) << "the launcher was not started";
    EXPECT_EQ(*record, QuotedTargetInAnsi() + c.commandLineTail);
    EXPECT_EQ(server.Requests(), 0);
    const auto boxes = watcher.Stop();
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherPresent,
    ::testing::Values(
        PresentCase{"payload", L" ,id^1001,auth_key^tok&12&&sig,pid^kovra",
                    " ,id^1001,auth_key^tok&12&&sig,pid^kovra"},
        PresentCase{"callback", L"http://127.0.0.1:18480/pavix/codeCallback.htm?code=ab12",
                    "http://127.0.0.1:18480/pavix/codeCallback.htm?code=ab12"},
        PresentCase{"gbk_and_unrepresentable", L" ,id^玩家\u0E01,pid^kovra",
                    " ,id^\xCD\xE6\xBC\xD2?,pid^kovra"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Launcher missing: the download, and what each answer of the server leads to ----

struct DownloadCase {
    const char* name;
    bool serverUp;
    int status;
    enum class Body { Launcher, Text, Empty } body;
    HttpAnswer::End end;
    DWORD bodyDelayMs;
    bool saved;  // then started too; otherwise nothing may be left or started
};

void PrintTo(const DownloadCase& c, std::ostream* os) { *os << c.name; }

class Download : public LaunchTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(Download, SavesWholeBodiesOnly) {
    const DownloadCase& c = GetParam();
    HttpAnswer answer;
    answer.status = c.status;
    answer.body = c.body == DownloadCase::Body::Launcher ? LauncherBody()
                  : c.body == DownloadCase::Body::Text   ? std::string("<html>no</html>")
                                                         : std::string();
    answer.end = c.end;
    answer.cutAt = answer.body.size() / 2;
    answer.bodyDelayMs = c.bodyDelayMs;
    std::optional<LoopbackHttpServer> server;
    if (c.serverUp) {
        server.emplace(kCdnPort, answer);
        ASSERT_TRUE(server->Listening()) << "port " << kCdnPort;
    }
    const std::string argument = " ,id^7,auth_key^a&b&c&d,pid^kovra";
    MessageBoxWatcher watcher;

    SetLaunchArgument(std::wstring(argument.begin(), argument.end()).c_str());
    LaunchGame();

    const auto boxes = watcher.Stop();
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    if (server) {
        EXPECT_EQ(server->Requests(), 1);
        EXPECT_EQ(server->LastRequestLine(), kRequestLine);
    }
    EXPECT_FALSE(Exists(kPartial)) << "partial download left behind";
    if (c.saved) {
        EXPECT_EQ(TakeQuitCode(), std::optional<int>(16));
        const auto saved = ReadBytes(kTarget);
        ASSERT_TRUE(saved) << "no launcher saved";
        EXPECT_EQ(saved->size(), answer.body.size());
        const auto diff = std::mismatch(saved->begin(), saved->end(), answer.body.begin(),
                                        answer.body.end());
        EXPECT_TRUE(diff.first == saved->end() && diff.second == answer.body.end())
            << "saved bytes differ from the body at offset " << (diff.first - saved->begin());
        const auto record = WaitForRecord();
        ASSERT_TRUE(record) << "the downloaded launcher was not started";
        EXPECT_EQ(*record, QuotedTargetInAnsi() + argument);
    } else {
        EXPECT_EQ(TakeQuitCode(), std::nullopt) << "a start was attempted";
        EXPECT_FALSE(Exists(kTarget)) << "a file was left at the launcher path";
    }
}

using Body = DownloadCase::Body;
using End = HttpAnswer::End;
INSTANTIATE_TEST_SUITE_P(
    Cases, Download,
    ::testing::Values(
        DownloadCase{"ok", true, 200, Body::Launcher, End::Whole, 0, true},
        // Only the headers are there when the first availability is taken.
        DownloadCase{"ok_body_after_pause", true, 200, Body::Launcher, End::Whole, 300, true},
        DownloadCase{"not_found", true, 404, Body::Text, End::Whole, 0, false},
        DownloadCase{"server_error", true, 500, Body::Text, End::Whole, 0, false},
        DownloadCase{"refused", false, 0, Body::Empty, End::Whole, 0, false},
        DownloadCase{"closed_mid_body", true, 200, Body::Launcher, End::CloseAfter, 0, false},
        DownloadCase{"reset_mid_body", true, 200, Body::Launcher, End::ResetAfter, 0, false},
        DownloadCase{"empty_body", true, 200, Body::Empty, End::Whole, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The target file cannot be created ----

TEST_F(LaunchTest, FileErrorIsReportedOnceAndNothingStarts) {
    // A folder where the download's file must go: creating the file fails with a file error.
    ASSERT_TRUE(CreateDirectoryW(kPartial.c_str(), nullptr));
    HttpAnswer answer;
    answer.body = LauncherBody();
    LoopbackHttpServer server(kCdnPort, answer);
    ASSERT_TRUE(server.Listening());
    MessageBoxWatcher watcher;

    SetLaunchArgument(L" ,id^1,pid^kovra");
    LaunchGame();

    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    EXPECT_EQ(Narrow(boxes[0].caption), "launch_tests");
    // Creating a file over a folder is refused as access denied; the report gives the
    // platform's text for that, then the file.
    EXPECT_EQ(Narrow(boxes[0].text), Narrow(SystemText(ERROR_ACCESS_DENIED) + L"\n" + kPartial));
    EXPECT_EQ(TakeQuitCode(), std::nullopt) << "a start was attempted";
    EXPECT_FALSE(Exists(kTarget));
    EXPECT_EQ(server.Requests(), 1);
}

// ---- A start that fails ----

struct FailedStartCase {
    const char* name;
    const char* launcherContent;  // written at the launcher path; null: no file there
    bool throughLaunchGame;       // else StartLauncher directly
};

void PrintTo(const FailedStartCase& c, std::ostream* os) { *os << c.name; }

class FailedStart : public LaunchTest, public ::testing::WithParamInterface<FailedStartCase> {};

TEST_P(FailedStart, ShowsTheFailureBoxOnceAndStillQuits) {
    const FailedStartCase& c = GetParam();
    if (c.launcherContent) WriteBytes(kTarget, c.launcherContent);
    HttpAnswer answer;
    answer.status = 404;
    LoopbackHttpServer server(kCdnPort, answer);
    MessageBoxWatcher watcher;

    SetLaunchArgument(L" ,id^1,pid^kovra");
    if (c.throughLaunchGame)
        LaunchGame();
    else
        StartLauncher(L" ,id^1,pid^kovra");

    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    EXPECT_EQ(Narrow(boxes[0].caption), Narrow(kFailCaption));
    EXPECT_EQ(Narrow(boxes[0].text), Narrow(kFailText));
    EXPECT_EQ(TakeQuitCode(), std::optional<int>(16));
    EXPECT_EQ(server.Requests(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedStart,
    ::testing::Values(FailedStartCase{"not_an_executable", "this is no program\r\n", true},
                      FailedStartCase{"missing_launcher", nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });
