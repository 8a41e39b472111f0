// PNG resource images: every image the skin ships decodes to its size; loading replaces and
// releases; undecodable or missing resources leave nothing behind.
#include <gtest/gtest.h>

#include <windows.h>

#include "res/resource.h"
#include "skin/GdiPlusPng.h"
#include "tests/skin/SkinTestIds.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

HMODULE Exe() { return GetModuleHandleW(nullptr); }

class SkinImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGdiPlus(); }
};

struct PngCase {
    UINT id;
    int width;  // 0: any width
    int height;
};

// The launcher's images, with the pixel sizes its windows and buttons are laid out on.
const PngCase kShipped[] = {
    {IDB_PNG_FACE, 1334, 725},   {IDB_PNG_CLOSE, 54, 216},        {IDB_PNG_MINIMIZE, 39, 156},
    {IDB_PNG_CONFIRM_OK, 74, 104}, {IDB_PNG_CONFIRM_CANCEL, 74, 104}, {164, 0, 120},
    {166, 0, 120}, {167, 0, 120}, {168, 0, 120}, {169, 0, 120}, {170, 0, 120}, {171, 0, 120},
    {189, 0, 120}, {1000, 0, 120},
};

TEST_F(SkinImages, EveryShippedPngDecodesToItsSizeBothWays) {
    for (const PngCase& c : kShipped) {
        SCOPED_TRACE("PNG " + std::to_string(c.id));
        CGdiPlusPngResource res;
        ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(c.id), Exe()));
        if (c.width) {
            EXPECT_EQ(c.width, res.GetWidth());
        }
        EXPECT_EQ(c.height, res.GetHeight());

        auto image = LoadPngImage(Exe(), c.id);
        ASSERT_TRUE(image);
        if (c.width) {
            EXPECT_EQ(c.width, GetImageWidth(image.get()));
        }
        EXPECT_EQ(c.height, GetImageHeight(image.get()));
        // Decoded for real (the strips are interlaced): the middle of the first frame is opaque.
        Pixels px = DrawImagePixels(image.get());
        ASSERT_GT(px.width, 0);
        if (c.id != IDB_PNG_FACE) {
            EXPECT_EQ(255, Pixels::Alpha(px.At(px.width / 2, px.width < px.height / 3 ? px.width / 2 : 13)));
        }
    }
}

TEST_F(SkinImages, FaceHasATransparentSurroundAndSoftEdges) {
    CGdiPlusPngResource res;
    ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), Exe()));
    Pixels px = DrawImagePixels(res.m_pImage.get());
    ASSERT_EQ(1334 * 725, static_cast<int>(px.bgra.size()));
    size_t clear = 0, partial = 0;
    for (uint32_t p : px.bgra) {
        BYTE a = Pixels::Alpha(p);
        clear += a == 0;
        partial += a != 0 && a != 255;
    }
    const double clearShare = 100.0 * clear / px.bgra.size(), partialShare = 100.0 * partial / px.bgra.size();
    std::printf("face: %.1f%% fully transparent, %.1f%% partly transparent\n", clearShare, partialShare);
    EXPECT_GT(clearShare, 25.0);
    EXPECT_LT(clearShare, 40.0);
    EXPECT_GT(partialShare, 1.0);
    EXPECT_LT(partialShare, 10.0);
    // The browser's frame is opaque all through, the corners are not part of the face.
    for (POINT p : {POINT{560, 177}, POINT{1190, 622}, POINT{875, 400}})
        EXPECT_EQ(255, Pixels::Alpha(px.At(p.x, p.y))) << p.x << "," << p.y;
    for (POINT p : {POINT{0, 0}, POINT{1333, 0}, POINT{0, 724}, POINT{1333, 724}})
        EXPECT_EQ(0, Pixels::Alpha(px.At(p.x, p.y))) << p.x << "," << p.y;
}

TEST_F(SkinImages, OtherResourcesHaveTheirSizes) {
    HBITMAP bmp = LoadBitmapW(Exe(), MAKEINTRESOURCEW(IDB_CONFIRM_BACKGROUND));
    ASSERT_TRUE(bmp);
    BITMAP bm{};
    GetObjectW(bmp, sizeof bm, &bm);
    DeleteObject(bmp);
    EXPECT_EQ(256, bm.bmWidth);
    EXPECT_EQ(110, bm.bmHeight);
    HRSRC hBmp = FindResourceW(Exe(), MAKEINTRESOURCEW(IDB_CONFIRM_BACKGROUND), RT_BITMAP);
    ASSERT_TRUE(hBmp);
    auto* bih = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Exe(), hBmp)));
    EXPECT_EQ(24, bih->biBitCount);

    HICON icon = static_cast<HICON>(LoadImageW(Exe(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ASSERT_TRUE(icon);
    DestroyIcon(icon);
    HRSRC hDir = FindResourceW(Exe(), MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_TRUE(hDir);
    auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(Exe(), hDir)));
    const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    ASSERT_EQ(1, count);
    const BYTE* entry = dir + 6;  // width, height, colours, reserved, planes, bit count, ...
    EXPECT_EQ(64, entry[0]);
    EXPECT_EQ(64, entry[1]);
    EXPECT_EQ(32, *reinterpret_cast<const WORD*>(entry + 6));
}

TEST_F(SkinImages, EmptyObjectsReportZero) {
    CGdiPlusPngResource res;
    EXPECT_EQ(nullptr, res.m_pImage);
    EXPECT_FALSE(res.m_hBuffer);
    EXPECT_EQ(0, res.GetWidth());
    EXPECT_EQ(0, res.GetHeight());
}

TEST_F(SkinImages, ABitmapIdLoadedAsPngFailsAndEmptiesTheObject) {
    CGdiPlusPngResource res;
    ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), Exe()));
    const HGLOBAL before = res.m_hBuffer.Get();
    EXPECT_FALSE(res.Load(MAKEINTRESOURCEW(IDB_CONFIRM_BACKGROUND), Exe()));
    EXPECT_EQ(nullptr, res.m_pImage);
    EXPECT_FALSE(res.m_hBuffer);
    EXPECT_EQ(0, res.GetWidth());
    // The old copy of the bytes is gone, not just forgotten.
    EXPECT_EQ(static_cast<UINT>(GMEM_INVALID_HANDLE), GlobalFlags(before));
    EXPECT_EQ(nullptr, LoadPngImage(Exe(), IDB_CONFIRM_BACKGROUND));
}

TEST_F(SkinImages, BytesThatAreNoImage) {
    CGdiPlusPngResource res;
    ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDT_STRIP4), Exe()));
    EXPECT_FALSE(res.Load(MAKEINTRESOURCEW(IDT_NOT_PNG), Exe()));
    EXPECT_EQ(nullptr, res.m_pImage);
    EXPECT_FALSE(res.m_hBuffer);
    // LoadPngImage hands out an image object that decodes nothing: size 0.
    auto image = LoadPngImage(Exe(), IDT_NOT_PNG);
    if (image) {
        EXPECT_EQ(0, GetImageWidth(image.get()));
        EXPECT_EQ(0, GetImageHeight(image.get()));
    }
}

TEST_F(SkinImages, LoadingAgainKeepsOneImageAndOneLockedBuffer) {
    CGdiPlusPngResource res;
    ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), Exe()));
    const HGLOBAL first = res.m_hBuffer.Get();
    ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDB_PNG_CLOSE), Exe()));
    EXPECT_EQ(54, res.GetWidth());
    ASSERT_TRUE(res.m_hBuffer);
    EXPECT_EQ(1u, GlobalFlags(res.m_hBuffer.Get()) & GMEM_LOCKCOUNT) << "the image's bytes stay locked";
    if (res.m_hBuffer.Get() != first) {
        EXPECT_EQ(static_cast<UINT>(GMEM_INVALID_HANDLE), GlobalFlags(first));
    }
}

// Address space the process has taken (reserved or committed), for leak checks over many loads.
ULONGLONG UsedVirtual() {
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    GlobalMemoryStatusEx(&ms);
    return ms.ullTotalVirtual - ms.ullAvailVirtual;
}

TEST_F(SkinImages, RepeatedLoadsDoNotAccumulateMemory) {
    // The face is 430 KB of bytes and 3.9 MB decoded: 40 leaked loads would be 170 MB and more.
    CGdiPlusPngResource res;
    auto drawOnce = [&] { DrawImagePixels(res.m_pImage.get()); };
    ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), Exe()));
    drawOnce();
    const ULONGLONG before = UsedVirtual();
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(res.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), Exe()));
        drawOnce();
        auto image = LoadPngImage(Exe(), IDB_PNG_FACE);
        ASSERT_TRUE(image);
        DrawImagePixels(image.get());
    }
    const ULONGLONG after = UsedVirtual();
    std::printf("address space in use: %llu MB before, %llu MB after 40 loads of each kind\n", before >> 20,
                after >> 20);
    ASSERT_GT(before, 0u) << "no memory figures on this system";
    EXPECT_LT(after, before + 40ull * 1024 * 1024);
}

}  // namespace
