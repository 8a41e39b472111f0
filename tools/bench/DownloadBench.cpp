// Download throughput of the launcher's download path against a plain WinINet loop with 1 MiB
// reads, over the same address. Usage: download_bench URL OUTPUT_DIR
// After one uncounted warm-up transfer it runs three rounds, each way once per round, and prints
// one line per transfer: "<name> bytes=<n> ms=<t> MiB/s=<r>".
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "framework/File.h"
#include "framework/Internet.h"
#include "launch/LauncherDownload.h"

namespace {
double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

ULONGLONG FileSize(const CString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The same session and request settings as the launcher's download, 1 MiB reads.
ULONGLONG PlainDownload(const wchar_t* url, const CString& target) {
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    AfxParseURL(url, service, server, object, port);
    CInternetSession session(nullptr, 1, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
    const auto connection = session.GetHttpConnection(server.c_str(), port);
    const auto request = connection->OpenRequest(L"GET", object.c_str(), nullptr, 1, nullptr,
                                                 nullptr, INTERNET_FLAG_EXISTING_CONNECT);
    request->SendRequest();
    std::vector<BYTE> buffer(1 << 20);
    CFile file(target.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    ULONGLONG total = 0;
    while (const UINT n = request->Read(buffer.data(), static_cast<UINT>(buffer.size()))) {
        file.Write(buffer.data(), n);
        total += n;
    }
    file.Close();
    return total;
}

constexpr int kRounds = 3;

void Print(const char* name, ULONGLONG bytes, double ms) {
    const double mib = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("%s bytes=%llu ms=%.1f MiB/s=%.1f\n", name, bytes, ms, ms > 0 ? mib * 1000.0 / ms : 0.0);
    std::fflush(stdout);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_bench URL OUTPUT_DIR\n");
        return 2;
    }
    const wchar_t* url = argv[1];
    const CString dir = argv[2];
    const CString viaLaunch = dir + L"/via_launch.bin";
    const CString viaPlain = dir + L"/via_plain.bin";
    try {
        // The first transfer of a process pays for WinINet's and the heap's start-up; not counted.
        PlainDownload(url, viaPlain);
        // Alternate the two ways so that neither profits from going second.
        for (int round = 0; round < kRounds; ++round) {
            DeleteFileW(viaLaunch.c_str());
            double start = NowMs();
            if (!DownloadLauncher(url, viaLaunch)) {
                std::fprintf(stderr, "launcher download path failed\n");
                return 1;
            }
            Print("launch_path", FileSize(viaLaunch), NowMs() - start);

            start = NowMs();
            const ULONGLONG plainBytes = PlainDownload(url, viaPlain);
            Print("wininet_1mib", plainBytes, NowMs() - start);
        }
    } catch (const CInternetException& e) {
        std::fprintf(stderr, "plain WinINet loop failed: error %lu\n", e.m_dwError);
        return 1;
    } catch (const CFileException& e) {
        std::fprintf(stderr, "plain WinINet loop failed: file error %ld\n", e.m_lOsError);
        return 1;
    }
    return 0;
}
