#include "skin/GdiPlusPng.h"

#include <cstring>

#include "framework/ComPtr.h"

namespace {

const wchar_t kPngType[] = L"PNG";

// The bytes of resource `name` of type "PNG" in `module`; null data when there are none.
struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindPngResource(HMODULE module, LPCWSTR name) {
    HRSRC hRes = FindResourceW(module, name, kPngType);
    if (!hRes) return {};
    DWORD size = SizeofResource(module, hRes);
    if (size == 0) return {};
    HGLOBAL hData = LoadResource(module, hRes);
    const void* data = hData ? LockResource(hData) : nullptr;
    if (!data) return {};
    return {data, size};
}

// A size query whose result counts only when it succeeded. The wrapper keeps the first failure
// it saw until it is read, so the stale status is cleared before the query.
template <class Query>
int QueryImage(Gdiplus::Image* image, Query query) {
    if (!image) return 0;
    image->GetLastStatus();
    UINT value = query(*image);
    return image->GetLastStatus() == Gdiplus::Ok ? static_cast<int>(value) : 0;
}

}  // namespace

int GetImageWidth(Gdiplus::Image* image) {
    return QueryImage(image, [](Gdiplus::Image& i) { return i.GetWidth(); });
}

int GetImageHeight(Gdiplus::Image* image) {
    return QueryImage(image, [](Gdiplus::Image& i) { return i.GetHeight(); });
}

CGdiPlusPng::~CGdiPlusPng() { m_pImage.reset(); }

int CGdiPlusPng::GetWidth() const { return GetImageWidth(m_pImage.get()); }

int CGdiPlusPng::GetHeight() const { return GetImageHeight(m_pImage.get()); }

bool CLockedGlobal::Allocate(SIZE_T size) {
    Reset();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!h) return false;
    void* p = GlobalLock(h);
    if (!p) {
        GlobalFree(h);
        return false;
    }
    m_hGlobal = h;
    m_pData = p;
    return true;
}

void CLockedGlobal::Reset() {
    if (!m_hGlobal) return;
    GlobalUnlock(m_hGlobal);
    GlobalFree(m_hGlobal);
    m_hGlobal = nullptr;
    m_pData = nullptr;
}

CGdiPlusPngResource::~CGdiPlusPngResource() { Release(); }

void CGdiPlusPngResource::Release() {
    // The image reads the block through its stream: it goes first.
    m_pImage.reset();
    m_hBuffer.Reset();
}

bool CGdiPlusPngResource::Load(LPCWSTR name, HMODULE module) {
    Release();
    ResourceBytes res = FindPngResource(module, name);
    if (!res.data) return false;
    if (!m_hBuffer.Allocate(res.size)) return false;
    std::memcpy(m_hBuffer.Data(), res.data, res.size);

    // The block stays ours (not freed with the stream): it is released together with the image.
    ComPtr<IStream> stream;
    if (CreateStreamOnHGlobal(m_hBuffer.Get(), FALSE, stream.Put()) != S_OK) {
        m_hBuffer.Reset();
        return false;
    }
    m_pImage = GdipNew<Gdiplus::Image>(stream.Get(), FALSE);
    stream.Reset();  // the image holds its own reference
    if (!m_pImage) {
        m_hBuffer.Reset();
        return false;
    }
    if (m_pImage->GetLastStatus() != Gdiplus::Ok) {
        Release();
        return false;
    }
    return true;
}

std::unique_ptr<Gdiplus::Image> LoadPngImage(HMODULE module, UINT id) {
    ResourceBytes res = FindPngResource(module, MAKEINTRESOURCEW(id));
    if (!res.data) return nullptr;
    HGLOBAL hBlock = GlobalAlloc(GMEM_MOVEABLE, res.size);
    if (!hBlock) return nullptr;
    void* p = GlobalLock(hBlock);
    if (!p) {
        GlobalFree(hBlock);
        return nullptr;
    }
    std::memcpy(p, res.data, res.size);
    GlobalUnlock(hBlock);

    // From here the stream owns the block: it is freed when the last reference goes, which is
    // the image's when it is disposed, or ours below when no image could be made.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(hBlock, TRUE, stream.Put()))) {
        GlobalFree(hBlock);
        return nullptr;
    }
    return GdipNew<Gdiplus::Image>(stream.Get(), FALSE);
}
