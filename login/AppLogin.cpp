// The login result handed over by the page's script: window.external.AppLogin(json).
//
// The text is untrusted page input. Whatever it holds, the handler logs it and either turns it
// into a launch or does nothing more; it never throws for bad input:
//   - text that is not JSON, a root that is not an object, one of the five members missing or
//     not a string: log line 1 only, nothing stored, nothing launched;
//   - a member holding a NUL character: treated the same way, because the value could not reach
//     the client launcher's command line whole (it would be cut at the NUL);
//   - the text is kept whole (NULs included) for the log and the parse.
//
// The JSON is parsed as UTF-8 rather than in the ANSI code page: the reader decodes \u escapes to
// UTF-8, so only a UTF-8 parse gives escaped and literal characters the same meaning. For every
// character the code page can hold the result is the same; what the code page cannot hold still
// becomes its default character, where the text leaves the program (log, command line).
#include <json/reader.h>
#include <json/value.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/LoginActiveDlg.h"
#include "framework/TextConversion.h"
#include "launch/LauncherDownload.h"
#include "login/LaunchArgument.h"

namespace {

constexpr wchar_t kLogFileName[] = L"log.txt";
// The members of the payload, in the order they are read.
constexpr const char* kUid = "uid";
constexpr const char* kToken = "token";
constexpr const char* kServerId = "server_id";
constexpr const char* kOther = "other";
constexpr const char* kSign = "sign";
// The client launcher's field syntax.
constexpr wchar_t kIdField[] = L" ,id^";  // the space separates it from the launcher's path
constexpr wchar_t kAuthKeyField[] = L",auth_key^";
constexpr wchar_t kPidField[] = L",pid^";
constexpr wchar_t kPid[] = L"kovra";
constexpr wchar_t kAuthSeparator[] = L"&";

// "log.txt", open for appending while the handler runs. Other programs may read and write it
// meanwhile. Each line goes to the system in one write with no buffer of ours, so it is in the
// file, for every reader, as soon as WriteLine returns; earlier content is never touched.
class CLoginLog {
public:
    CLoginLog()
        : m_hFile(CreateFileW(kLogFileName, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~CLoginLog() {
        if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    }
    CLoginLog(const CLoginLog&) = delete;
    CLoginLog& operator=(const CLoginLog&) = delete;

    // One line in the ANSI code page, as a text-mode file writes it: every line feed, the
    // closing one included, becomes CR LF. Without the file nothing is written.
    void WriteLine(std::wstring_view text) {
        if (m_hFile == INVALID_HANDLE_VALUE) return;
        const std::string narrow = NarrowText(text);
        std::string line;
        line.reserve(narrow.size() + 2);
        for (char c : narrow) {
            if (c == '\n') line += '\r';
            line += c;
        }
        line += "\r\n";
        const char* p = line.data();
        size_t left = line.size();
        while (left > 0) {
            const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
            DWORD written = 0;
            if (!WriteFile(m_hFile, p, chunk, &written, nullptr) || written == 0) return;
            p += written;
            left -= written;
        }
    }

private:
    HANDLE m_hFile;
};

// The member `name` of the payload's root object, when it is a string that can be passed on
// whole; false otherwise.
bool ReadMember(const Json::Value& root, const char* name, CString& value) {
    const Json::Value* member = root.find(name, name + std::strlen(name));
    if (member == nullptr || !member->isString()) return false;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!member->getString(&begin, &end)) return false;
    const std::string_view bytes(begin, static_cast<size_t>(end - begin));
    if (bytes.find('\0') != std::string_view::npos) return false;
    value = WideText(bytes, CP_UTF8);
    return true;
}

struct LoginFields {
    CString uid, token, serverId, other, sign;
};

// The five members of a payload text; false when it is no usable payload.
bool ParsePayload(const CString& text, LoginFields& fields) {
    const std::string document = NarrowText(text, CP_UTF8);
    Json::Value root;
    try {
        // Default features: comments allowed, any value accepted as the root.
        Json::Reader reader;
        if (!reader.parse(document, root)) return false;
    } catch (const std::exception&) {
        // The reader throws on nesting deeper than its limit: that text is no payload either.
        return false;
    }
    if (!root.isObject()) return false;
    return ReadMember(root, kUid, fields.uid) && ReadMember(root, kToken, fields.token) &&
           ReadMember(root, kServerId, fields.serverId) && ReadMember(root, kOther, fields.other) &&
           ReadMember(root, kSign, fields.sign);
}

}  // namespace

void CLoginActiveDlg::OnAppLogin(CString text) {
    CLoginLog log;
    log.WriteLine(text);

    LoginFields fields;
    if (!ParsePayload(text, fields)) return;

    // Values go in verbatim: no escaping, no trimming.
    const CString auth = fields.token + kAuthSeparator + fields.serverId + kAuthSeparator +
                         fields.other + kAuthSeparator + fields.sign;
    log.WriteLine(auth);

    const CString argument =
        kIdField + fields.uid + kAuthKeyField + auth + kPidField + kPid;
    SetLaunchArgument(argument.c_str());
    LaunchGame();
    // Whatever the launch achieved, the page's links no longer need watching.
    DisconnectAnchors();
}
