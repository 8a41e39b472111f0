#include "framework/Internet.h"

#include <vector>

namespace {
[[noreturn]] void ThrowLastInternetError() { throw CInternetException(GetLastError()); }
}  // namespace

BOOL AfxParseURL(const wchar_t* pstrURL, DWORD& dwServiceType, CString& strServer,
                 CString& strObject, INTERNET_PORT& nPort) {
    dwServiceType = 0;
    strServer.clear();
    strObject.clear();
    nPort = 0;
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
    std::vector<wchar_t> path(INTERNET_MAX_URL_LENGTH);
    std::vector<wchar_t> extra(INTERNET_MAX_URL_LENGTH);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlW(pstrURL, 0, 0, &parts)) return FALSE;
    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: dwServiceType = INTERNET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_FTP: dwServiceType = INTERNET_SERVICE_FTP; break;
    default: break;
    }
    strServer.assign(host, parts.dwHostNameLength);
    strObject.assign(path.data(), parts.dwUrlPathLength);
    strObject.append(extra.data(), parts.dwExtraInfoLength);
    if (strObject.empty()) strObject = L"/";
    nPort = parts.nPort;
    return TRUE;
}

void CInternetHandle::Close() {
    if (HINTERNET h = m_h) {
        m_h = nullptr;
        InternetCloseHandle(h);
    }
}

void CHttpFile::SendRequest(const wchar_t* pstrHeaders, DWORD dwHeadersLength, void* lpOptional,
                            DWORD dwOptionalLen) {
    if (!HttpSendRequestW(m_hRequest.Get(), pstrHeaders, dwHeadersLength, lpOptional,
                          dwOptionalLen))
        ThrowLastInternetError();
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const {
    DWORD size = sizeof(dwStatusCode);
    return HttpQueryInfoW(m_hRequest.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                          &dwStatusCode, &size, nullptr);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str) const {
    str.clear();
    DWORD size = 0;
    if (HttpQueryInfoW(m_hRequest.Get(), dwInfoLevel, nullptr, &size, nullptr) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return FALSE;
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1);
    if (!HttpQueryInfoW(m_hRequest.Get(), dwInfoLevel, text.data(), &size, nullptr)) return FALSE;
    str.assign(text.data(), size / sizeof(wchar_t));
    return TRUE;
}

DWORD CHttpFile::GetLength() const {
    DWORD available = 0;
    if (!InternetQueryDataAvailable(m_hRequest.Get(), &available, 0, 0)) ThrowLastInternetError();
    return available;
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount) {
    DWORD read = 0;
    if (!InternetReadFile(m_hRequest.Get(), lpBuf, nCount, &read)) ThrowLastInternetError();
    return read;
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const wchar_t* pstrVerb,
                                                        const wchar_t* pstrObjectName,
                                                        const wchar_t* pstrReferer,
                                                        DWORD_PTR dwContext,
                                                        const wchar_t** ppstrAcceptTypes,
                                                        const wchar_t* pstrVersion,
                                                        DWORD dwFlags) {
    HINTERNET h = HttpOpenRequestW(m_hConnect.Get(), pstrVerb, pstrObjectName, pstrVersion,
                                   pstrReferer, ppstrAcceptTypes, dwFlags, dwContext);
    if (!h) ThrowLastInternetError();
    return std::make_unique<CHttpFile>(h);
}

CInternetSession::CInternetSession(const wchar_t* pstrAgent, DWORD_PTR dwContext,
                                   DWORD dwAccessType, const wchar_t* pstrProxyName,
                                   const wchar_t* pstrProxyBypass, DWORD dwFlags)
    : m_hSession(InternetOpenW(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags)),
      m_dwContext(dwContext) {
    if (!m_hSession.Get()) ThrowLastInternetError();
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const wchar_t* pstrServer,
                                                                     INTERNET_PORT nPort,
                                                                     const wchar_t* pstrUserName,
                                                                     const wchar_t* pstrPassword) {
    HINTERNET h = InternetConnectW(m_hSession.Get(), pstrServer, nPort, pstrUserName,
                                   pstrPassword, INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (!h) ThrowLastInternetError();
    return std::make_unique<CHttpConnection>(h);
}
