#pragma once
// HTTP over WinINet in the class library's shape: a session, a connection to one server, and a
// request read like a file. Failures of WinINet raise CInternetException with its error code.
#include <windows.h>
#include <wininet.h>

#include <memory>

#include "framework/String.h"

class CInternetException {
public:
    explicit CInternetException(DWORD dwError) : m_dwError(dwError) {}
    DWORD m_dwError;
};

// Splits an address into service type, server, object path and port. FALSE when it is not one.
BOOL AfxParseURL(const wchar_t* pstrURL, DWORD& dwServiceType, CString& strServer,
                 CString& strObject, INTERNET_PORT& nPort);

// An open WinINet handle, closed once.
class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET h) : m_h(h) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    void Close();
    HINTERNET Get() const { return m_h; }

private:
    HINTERNET m_h = nullptr;
};

// One request on a connection, its response body read like a file.
class CHttpFile {
public:
    explicit CHttpFile(HINTERNET hRequest) : m_hRequest(hRequest) {}

    void SendRequest(const wchar_t* pstrHeaders = nullptr, DWORD dwHeadersLength = 0,
                     void* lpOptional = nullptr, DWORD dwOptionalLen = 0);
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    // One response header as text; FALSE when the response has none.
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str) const;
    // The number of body bytes available now without waiting for more.
    DWORD GetLength() const;
    // Reads up to nCount bytes; 0 at the end of the body.
    UINT Read(void* lpBuf, UINT nCount);
    void Close() { m_hRequest.Close(); }

private:
    CInternetHandle m_hRequest;
};

class CHttpConnection {
public:
    explicit CHttpConnection(HINTERNET hConnect) : m_hConnect(hConnect) {}

    std::unique_ptr<CHttpFile> OpenRequest(const wchar_t* pstrVerb, const wchar_t* pstrObjectName,
                                           const wchar_t* pstrReferer, DWORD_PTR dwContext,
                                           const wchar_t** ppstrAcceptTypes,
                                           const wchar_t* pstrVersion, DWORD dwFlags);
    void Close() { m_hConnect.Close(); }

private:
    CInternetHandle m_hConnect;
};

class CInternetSession {
public:
    CInternetSession(const wchar_t* pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                     DWORD dwAccessType = PRE_CONFIG_INTERNET_ACCESS,
                     const wchar_t* pstrProxyName = nullptr, const wchar_t* pstrProxyBypass = nullptr,
                     DWORD dwFlags = 0);
    // Connections and requests opened on a session must be released before it closes.
    std::unique_ptr<CHttpConnection> GetHttpConnection(const wchar_t* pstrServer,
                                                       INTERNET_PORT nPort,
                                                       const wchar_t* pstrUserName = nullptr,
                                                       const wchar_t* pstrPassword = nullptr);
    void Close() { m_hSession.Close(); }

private:
    CInternetHandle m_hSession;
    DWORD_PTR m_dwContext;
};
