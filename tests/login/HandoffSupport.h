#pragma once
// What the login hand-off tests share: a private working directory for "log.txt", the command
// line recorded by the stand-in client launcher (copied next to the test program as
// kovra_vornbt_launch.exe, so the launch never downloads), the quit message the start posts, and
// page elements whose click connections count their undoing.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <vector>

#include "app/LoginActiveDlg.h"

namespace login_test {

// Makes a fresh directory the current one for the life of the object, and removes it afterwards.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::wstring m_previous;
};

std::string ReadBytes(const std::wstring& path);  // empty when missing
bool FileExists(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);

// The stand-in launcher's record of its command line, beside the test program.
std::wstring LaunchRecordPath();
void ClearLaunchRecord();
// The raw command line of the launcher started last, once it has recorded it (nullopt when none
// appeared within the time).
std::optional<std::string> WaitForLaunchRecord(DWORD timeoutMs = 15000);
// What the recorded command line must be for a given argument: the quoted launcher path (the
// program's own directory, "/" separators) followed directly by the argument's bytes.
std::string ExpectedCommandLine(const std::string& argument);

// Removes the quit messages the launch posted; the code of the last one, if any was queued.
std::optional<int> TakeQuitMessage();

// Bytes shown as text for failure messages: printable ASCII as is, the rest as \xNN.
std::string Printable(const std::string& bytes);

// A page element as far as its click connection goes: a connection point container with one
// point, for one event interface, that holds one sink like a real source (a reference from
// Advise until a successful Unadvise), counts and records Unadvise calls and can refuse them.
class TestAnchor : public IConnectionPointContainer, public IConnectionPoint {
public:
    // Unadvise calls of every TestAnchor in order: (the anchor's name, the cookie).
    static std::vector<std::pair<std::wstring, DWORD>>& Journal();

    TestAnchor(std::wstring name, REFIID iidEvents, bool refuseUnadvise, DWORD cookie = 1)
        : m_name(std::move(name)), m_iid(iidEvents), m_refuse(refuseUnadvise), m_cookie(cookie) {}
    virtual ~TestAnchor() = default;

    ULONG References() const { return m_cRef; }
    int UnadviseCalls() const { return m_unadviseCalls; }
    int LookUps() const { return m_lookUps; }
    bool Connected() const { return m_pSink != nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override { return --m_cRef; }  // lives on the test's stack
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* pIID) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    STDMETHODIMP Unadvise(DWORD dwCookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override;

private:
    std::wstring m_name;
    IID m_iid;
    bool m_refuse;
    DWORD m_cookie;
    IUnknown* m_pSink = nullptr;
    ULONG m_cRef = 0;
    int m_unadviseCalls = 0;
    int m_lookUps = 0;
};

// Connects the panel to anchor the way the page click binding does (the framework's advise, the
// panel's automation IDispatch as sink, no lasting reference) and records it under href.
// False when the advise failed.
bool ConnectAnchor(CLoginActiveDlg& panel, const std::wstring& href, TestAnchor& anchor,
                   REFIID iidEvents);

}  // namespace login_test
