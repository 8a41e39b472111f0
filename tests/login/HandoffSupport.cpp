#include "tests/login/HandoffSupport.h"

#include <cstdio>
#include <utility>

#include "framework/Connection.h"

namespace login_test {
namespace {

std::wstring ModuleDir(wchar_t separator) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, length);
    for (wchar_t& c : dir)
        if (c == L'\\' || c == L'/') c = separator;
    return dir.substr(0, dir.rfind(separator));
}

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

ScopedWorkDir::ScopedWorkDir() {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    m_previous = previous;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    m_path = std::wstring(temp) + L"login_handoff_" + std::to_wstring(GetCurrentProcessId()) +
             L"_" + std::to_wstring(++counter);
    CreateDirectoryW(m_path.c_str(), nullptr);
    SetCurrentDirectoryW(m_path.c_str());
}

ScopedWorkDir::~ScopedWorkDir() {
    SetCurrentDirectoryW(m_previous.c_str());
    RemoveTree(m_path);
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring LaunchRecordPath() { return ModuleDir(L'\\') + L"\\kovra_vornbt_launch.cmdline"; }

void ClearLaunchRecord() { DeleteFileW(LaunchRecordPath().c_str()); }

std::optional<std::string> WaitForLaunchRecord(DWORD timeoutMs) {
    const std::wstring path = LaunchRecordPath();
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        // The stand-in writes under another name and renames: once there, the record is whole.
        if (FileExists(path)) return ReadBytes(path);
        Sleep(20);
    } while (GetTickCount64() < deadline);
    return std::nullopt;
}

std::string ExpectedCommandLine(const std::string& argument) {
    const std::wstring dir = ModuleDir(L'/');
    std::string narrow(dir.begin(), dir.end());  // the build tree's path is plain ASCII
    return "\"" + narrow + "/kovra_vornbt_launch.exe\"" + argument;
}

std::optional<int> TakeQuitMessage() {
    std::optional<int> code;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        code = static_cast<int>(msg.wParam);
    return code;
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::vector<std::pair<std::wstring, DWORD>>& TestAnchor::Journal() {
    static std::vector<std::pair<std::wstring, DWORD>> journal;
    return journal;
}

STDMETHODIMP TestAnchor::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPointContainer))
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(riid, IID_IConnectionPoint))
        *ppv = static_cast<IConnectionPoint*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP TestAnchor::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestAnchor::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    ++m_lookUps;
    if (!ppCP) return E_POINTER;
    *ppCP = nullptr;
    if (!IsEqualIID(riid, m_iid)) return CONNECT_E_NOCONNECTION;
    *ppCP = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP TestAnchor::GetConnectionInterface(IID* pIID) {
    if (!pIID) return E_POINTER;
    *pIID = m_iid;
    return S_OK;
}

STDMETHODIMP TestAnchor::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (!ppCPC) return E_POINTER;
    *ppCPC = this;
    AddRef();
    return S_OK;
}

STDMETHODIMP TestAnchor::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    if (!pUnkSink || !pdwCookie) return E_POINTER;
    if (m_pSink) return CONNECT_E_ADVISELIMIT;
    m_pSink = pUnkSink;
    m_pSink->AddRef();
    *pdwCookie = m_cookie;
    return S_OK;
}

STDMETHODIMP TestAnchor::Unadvise(DWORD dwCookie) {
    ++m_unadviseCalls;
    Journal().emplace_back(m_name, dwCookie);
    if (m_refuse || !m_pSink || dwCookie != m_cookie) return CONNECT_E_NOCONNECTION;
    std::exchange(m_pSink, nullptr)->Release();
    return S_OK;
}

STDMETHODIMP TestAnchor::EnumConnections(IEnumConnections** ppEnum) {
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
}

bool ConnectAnchor(CLoginActiveDlg& panel, const std::wstring& href, TestAnchor& anchor,
                   REFIID iidEvents) {
    IUnknown* source = static_cast<IConnectionPointContainer*>(&anchor);
    DWORD cookie = 0;
    if (!AfxConnectionAdvise(source, iidEvents, panel.GetIDispatch(FALSE), FALSE, &cookie))
        return false;
    panel.m_mapAnchorConnections.emplace(
        href, AnchorConnection{ComPtr<IUnknown>(source), iidEvents, cookie, href});
    return true;
}

}  // namespace login_test
