#include "launch/LauncherDownload.h"

#include <shlwapi.h>

#include <cwchar>
#include <optional>
#include <utility>
#include <vector>

#include "BuildSettings.h"
#include "app/LoginApp.h"
#include "framework/File.h"
#include "framework/TextConversion.h"
#include "framework/Internet.h"
#include "launch/GameStart.h"

namespace {
constexpr wchar_t kDownloadUrl[] =
    L"http://" CDN_HOST L"/zentavorn/vorn_web/kovra_vornbt_launch_1.exe";
// Reads of at least 1 MiB: under Wine a 64 MiB body read in 64 KiB pieces took about 2.5 times
// as long as in 1 MiB pieces, and a first count of 0 must not end the body at once.
constexpr DWORD kMinChunkSize = 1024 * 1024;
// The download's name until the whole body is on disk.
constexpr wchar_t kPartialSuffix[] = L".part";

void StartWithPendingArgument() {
    StartLauncher(WideText(theApp.m_strLaunchArgument).c_str());
}

// The partly written download: deleted when it goes out of scope, unless it was moved into place.
class CPartialDownload {
public:
    explicit CPartialDownload(CString strPath) : m_strPath(std::move(strPath)) {}
    ~CPartialDownload() {
        if (!m_bMoved) DeleteFileW(m_strPath.c_str());
    }
    CPartialDownload(const CPartialDownload&) = delete;
    CPartialDownload& operator=(const CPartialDownload&) = delete;

    const CString& Path() const { return m_strPath; }
    void MoveTo(const CString& strTarget) {
        CFile::Rename(m_strPath.c_str(), strTarget.c_str());
        m_bMoved = true;
    }

private:
    CString m_strPath;
    bool m_bMoved = false;
};

// A launcher that arrived whole: not empty, and exactly as long as the server said, if it said.
// WinINet ends the body quietly when the connection closes early.
bool BodyComplete(const CHttpFile& request, ULONGLONG ullReceived) {
    if (ullReceived == 0) return false;
    CString strLength;
    if (!request.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, strLength)) return true;
    wchar_t* end = nullptr;
    const unsigned long long ullExpected = std::wcstoull(strLength.c_str(), &end, 10);
    return end != strLength.c_str() && ullExpected == ullReceived;
}

enum class DownloadResult { Saved, Abandoned, FileError };

// One transfer. Session, connection, request, buffer and file all end inside, so that a file
// error is reported only after every one of them has been released.
DownloadResult Transfer(const wchar_t* pszUrl, const CString& strTargetPath,
                        std::optional<CFileException>& fileError) {
    DWORD dwServiceType = 0;
    CString strServer, strObject;
    INTERNET_PORT nPort = 0;
    AfxParseURL(pszUrl, dwServiceType, strServer, strObject, nPort);
    try {
        CInternetSession session(nullptr, 1, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
        const auto pConnection = session.GetHttpConnection(strServer.c_str(), nPort, nullptr, nullptr);
        const auto pRequest = pConnection->OpenRequest(L"GET", strObject.c_str(), nullptr, 1,
                                                       nullptr, nullptr,
                                                       INTERNET_FLAG_EXISTING_CONNECT);
        pRequest->SendRequest();
        DWORD dwStatus = 0;
        if (!pRequest->QueryInfoStatusCode(dwStatus) || dwStatus != HTTP_STATUS_OK)
            return DownloadResult::Abandoned;

        const DWORD dwChunkSize = DownloadChunkSize(pRequest->GetLength());
        std::vector<BYTE> buffer(dwChunkSize);
        CPartialDownload partial(strTargetPath + kPartialSuffix);
        try {
            {
                CFile file(partial.Path().c_str(),
                           CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
                ULONGLONG ullReceived = 0;
                while (const UINT nRead = pRequest->Read(buffer.data(), dwChunkSize)) {
                    file.Write(buffer.data(), nRead);
                    ullReceived += nRead;
                }
                if (!BodyComplete(*pRequest, ullReceived)) return DownloadResult::Abandoned;
                file.Close();
            }
            partial.MoveTo(strTargetPath);
        } catch (const CFileException& e) {
            fileError.emplace(e);
            return DownloadResult::FileError;
        }
        return DownloadResult::Saved;
    } catch (const CInternetException&) {
        // Host not found, connection refused or lost: abandoned like a failed request.
        return DownloadResult::Abandoned;
    }
}
}  // namespace

DWORD DownloadChunkSize(DWORD dwFirstAvailable) {
    return dwFirstAvailable > kMinChunkSize ? dwFirstAvailable : kMinChunkSize;
}

bool DownloadLauncher(const wchar_t* pszUrl, const CString& strTargetPath) {
    std::optional<CFileException> fileError;
    const DownloadResult result = Transfer(pszUrl, strTargetPath, fileError);
    if (result == DownloadResult::FileError) fileError->ReportError(MB_OK);
    return result == DownloadResult::Saved;
}

void LaunchGame() {
    const CString strTargetPath = GetModuleDir() + L"/" + kLauncherFileName;
    if (!PathFileExistsW(strTargetPath.c_str()) &&
        !DownloadLauncher(kDownloadUrl, strTargetPath))
        return;
    StartWithPendingArgument();
}
