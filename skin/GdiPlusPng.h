#pragma once
// PNG images decoded by GDI+ from the executable's resources of type "PNG".
#include <memory>

#include "skin/GdiPlus.h"

// Owns a decoded GDI+ image (deleting it disposes the image and frees its wrapper).
class CGdiPlusPng {
public:
    CGdiPlusPng() = default;
    virtual ~CGdiPlusPng();
    CGdiPlusPng(const CGdiPlusPng&) = delete;
    CGdiPlusPng& operator=(const CGdiPlusPng&) = delete;

    // Size in pixels of the held image; 0 when nothing is held or GDI+ cannot tell.
    int GetWidth() const;
    int GetHeight() const;

    std::unique_ptr<Gdiplus::Image> m_pImage;
};

// A movable global memory block kept locked while it is held: a GDI+ image decoded from a stream
// over the block may read it for as long as the image lives.
class CLockedGlobal {
public:
    CLockedGlobal() = default;
    ~CLockedGlobal() { Reset(); }
    CLockedGlobal(const CLockedGlobal&) = delete;
    CLockedGlobal& operator=(const CLockedGlobal&) = delete;

    // Allocates a block of `size` bytes and locks it; false (holding nothing) on failure.
    bool Allocate(SIZE_T size);
    // Unlocks and frees the block.
    void Reset();
    HGLOBAL Get() const { return m_hGlobal; }
    void* Data() const { return m_pData; }
    explicit operator bool() const { return m_hGlobal != nullptr; }

private:
    HGLOBAL m_hGlobal = nullptr;
    void* m_pData = nullptr;
};

// A PNG resource decoded together with its own copy of the bytes, which lives as long as the image.
class CGdiPlusPngResource : public CGdiPlusPng {
public:
    CGdiPlusPngResource() = default;
    ~CGdiPlusPngResource() override;

    // Loads resource `name` of type "PNG" from `module`, releasing what was held before.
    // True when an image is held afterwards; after a failure nothing is held.
    bool Load(LPCWSTR name, HMODULE module);

    // The copy of the resource bytes; set exactly while m_pImage is.
    CLockedGlobal m_hBuffer;

private:
    void Release();
};

// A new image of PNG resource `id` in `module` whose bytes belong to the stream the image reads
// (freed with the image), or null when the resource cannot be read. The bytes are not decoded
// here: an undecodable resource gives an image of size 0 that draws nothing.
std::unique_ptr<Gdiplus::Image> LoadPngImage(HMODULE module, UINT id);
