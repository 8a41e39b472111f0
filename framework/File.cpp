#include "framework/File.h"

#include "framework/WinApp.h"

namespace {
// The caption of the class library's reports: the application's name, else the executable's.
CString ReportCaption() {
    if (const CWinApp* app = AfxGetApp(); app && app->m_pszAppName) return app->m_pszAppName;
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString name(path, n);
    if (const size_t slash = name.find_last_of(L"\\/"); slash != CString::npos)
        name.erase(0, slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != CString::npos && dot > 0) name.erase(dot);
    return name;
}

DWORD AccessOf(UINT flags) {
    switch (flags & 0x3) {
    case CFile::modeWrite: return GENERIC_WRITE;
    case CFile::modeReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
    }
}

DWORD ShareOf(UINT flags) {
    switch (flags & 0x70) {
    case CFile::shareExclusive: return 0;
    case CFile::shareDenyWrite: return FILE_SHARE_READ;
    case CFile::shareDenyRead: return FILE_SHARE_WRITE;
    default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}
}  // namespace

CFileException::CFileException(LONG lOsError, const CString& strFileName)
    : m_lOsError(lOsError), m_strFileName(strFileName) {}

CString CFileException::GetErrorMessage() const {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(m_lOsError), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    CString message = n ? CString(text, n) : L"Error " + std::to_wstring(m_lOsError);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    if (!m_strFileName.empty()) message += L"\n" + m_strFileName;
    return message;
}

int CFileException::ReportError(UINT nType, UINT) const {
    return MessageBoxW(GetActiveWindow(), GetErrorMessage().c_str(), ReportCaption().c_str(),
                       nType);
}

CFile::CFile(const wchar_t* lpszFileName, UINT nOpenFlags) : m_strFileName(lpszFileName) {
    const DWORD disposition = (nOpenFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    m_hFile = CreateFileW(lpszFileName, AccessOf(nOpenFlags), ShareOf(nOpenFlags), nullptr,
                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
        throw CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
}

CFile::~CFile() {
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        throw CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
    if (written != nCount) throw CFileException(ERROR_DISK_FULL, m_strFileName);
}

void CFile::Close() {
    const HANDLE h = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (h != INVALID_HANDLE_VALUE && !CloseHandle(h))
        throw CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
}

void CFile::Rename(const wchar_t* lpszOldName, const wchar_t* lpszNewName) {
    if (!MoveFileW(lpszOldName, lpszNewName))
        throw CFileException(static_cast<LONG>(GetLastError()), lpszOldName);
}
