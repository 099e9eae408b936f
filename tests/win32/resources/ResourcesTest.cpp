// The program's resources as Windows sees them once linked: icon groups with the sizes and colour depths
// the shell and the tray ask for, the PNG pictures, the version information and the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwctype>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TarnwickVersion.h"
#include "app/resources/ResourceNames.h"
#include "core/Text.h"
#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {
namespace {

// The layout of an icon group resource (the .ico directory with resource ids instead of file offsets).
#pragma pack(push, 2)
struct TGroupIconEntry {
    BYTE Width;
    BYTE Height;
    BYTE ColorCount;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD BytesInRes;
    WORD Id;
};
struct TGroupIconHeader {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
#pragma pack(pop)

// A resource's bytes inside the test program's own image; nothing to release.
std::pair<const BYTE*, DWORD> ResourceBytes(LPCWSTR name, LPCWSTR type) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC info = ::FindResourceW(module, name, type);
    if (!info)
        return {nullptr, 0};
    const HGLOBAL loaded = ::LoadResource(module, info);
    return {static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(module, info)};
}

struct TImage {
    int Size;
    int BitCount;
    auto operator<=>(const TImage&) const = default;
};

// The images of an icon group, each read from the icon resource it names (its bitmap header), so that the
// directory and the images agree.
std::set<TImage> IconImages(const char16_t* groupName) {
    const auto [group, groupSize] = ResourceBytes(AsWide(groupName), RT_GROUP_ICON);
    if (!group || groupSize < sizeof(TGroupIconHeader))
        return {};
    TGroupIconHeader header;
    std::memcpy(&header, group, sizeof header);
    std::set<TImage> images;
    for (WORD i = 0; i < header.Count; ++i) {
        TGroupIconEntry entry;
        std::memcpy(&entry, group + sizeof header + i * sizeof entry, sizeof entry);
        const auto [image, imageSize] = ResourceBytes(MAKEINTRESOURCEW(entry.Id), RT_ICON);
        if (!image || imageSize < sizeof(BITMAPINFOHEADER))
            continue;
        if (std::memcmp(image, "\x89PNG", 4) == 0) {
            // A PNG-compressed image: its header says the width; 8 bits per channel with alpha.
            const int width = image[16] << 24 | image[17] << 16 | image[18] << 8 | image[19];
            EXPECT_EQ(image[25], 6) << "icon resource " << entry.Id << ": RGBA";
            EXPECT_EQ(entry.BitCount, 32) << "icon resource " << entry.Id;
            images.insert({width, 32});
            continue;
        }
        BITMAPINFOHEADER bitmap;
        std::memcpy(&bitmap, image, sizeof bitmap);
        // An icon's bitmap is twice as high as the icon: the colour image above the transparency mask.
        EXPECT_EQ(bitmap.biWidth * 2, bitmap.biHeight) << "icon resource " << entry.Id;
        EXPECT_EQ(bitmap.biBitCount, entry.BitCount) << "icon resource " << entry.Id;
        images.insert({int(bitmap.biWidth), int(bitmap.biBitCount)});
    }
    EXPECT_EQ(images.size(), header.Count) << "images of " << ToUtf8(groupName);
    return images;
}

struct TIconCase {
    const char16_t* Name;
    std::set<TImage> Images;
};

TEST(ResourcesTest, EachIconGroupHoldsExactlyItsSizesAndColourDepths) {
    const TIconCase cases[] = {
        // Every size from 100 % to 200 % display scale and 256 pixels; 256 colours for old displays.
        {ApplicationIconName,
         {{256, 32},
          {64, 32},
          {48, 32},
          {48, 8},
          {40, 32},
          {32, 32},
          {32, 8},
          {24, 32},
          {20, 32},
          {16, 32},
          {16, 8}}},
        // The small-icon sizes of 100 %, 125 %, 150 % and 200 %.
        {InternetOffIconName, {{16, 32}, {20, 32}, {24, 32}, {32, 32}}},
        {InternetOnIconName, {{16, 32}, {20, 32}, {24, 32}, {32, 32}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IconImages(c.Name), c.Images) << ToUtf8(c.Name);
}

TEST(ResourcesTest, TheApplicationIconIsTheFirstIconGroup) {
    // The shell shows the first icon group of a program as its icon.
    std::vector<std::u16string> names;
    ::EnumResourceNamesW(
        ::GetModuleHandleW(nullptr), RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            auto& found = *reinterpret_cast<std::vector<std::u16string>*>(param);
            found.push_back(IS_INTRESOURCE(name) ? u"#" : FromWide(name));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), ApplicationIconName);
    EXPECT_EQ(names.size(), 3u);
}

struct TIconDeleter {
    void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, TIconDeleter>;

struct TBitmapDeleter {
    void operator()(HBITMAP bitmap) const noexcept { ::DeleteObject(bitmap); }
};
using TBitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TBitmapDeleter>;

// The width of the colour image that Windows made for a loaded icon.
int LoadedIconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return 0;
    const TBitmapHandle color(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (!::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap))
        return 0;
    return bitmap.bmWidth;
}

TEST(ResourcesTest, IconsLoadAtTheSizesTheyAreDrawnFor) {
    const std::pair<const char16_t*, int> cases[] = {
        {ApplicationIconName, 16}, {ApplicationIconName, 20},  {ApplicationIconName, 24},
        {ApplicationIconName, 32}, {ApplicationIconName, 40},  {ApplicationIconName, 48},
        {ApplicationIconName, 64}, {ApplicationIconName, 256}, {InternetOffIconName, 16},
        {InternetOffIconName, 20}, {InternetOffIconName, 24},  {InternetOffIconName, 32},
        {InternetOnIconName, 16},  {InternetOnIconName, 20},   {InternetOnIconName, 24},
        {InternetOnIconName, 32},
    };
    for (const auto& [name, size] : cases) {
        const TIconHandle icon(static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), AsWide(name), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << ToUtf8(name) << " at " << size;
        EXPECT_EQ(LoadedIconWidth(icon.get()), size) << ToUtf8(name);
    }
}

TEST(ResourcesTest, TheStateIconsLoadThroughLoadIcon) {
    // The main window loads them this way; shared icons from LoadIconW are not destroyed.
    for (const char16_t* name : {InternetOffIconName, InternetOnIconName})
        EXPECT_NE(::LoadIconW(::GetModuleHandleW(nullptr), AsWide(name)), nullptr) << ToUtf8(name);
}

std::uint32_t BigEndian32(const BYTE* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

TEST(ResourcesTest, PicturesAreWholePngFilesOfTheirSizes) {
    struct TPictureCase {
        const char16_t* Name;
        std::uint32_t Size;
    };
    // 100 %, 150 % and 200 % display scale.
    const TPictureCase cases[] = {
        {InternetOnPictureName, 48},  {u"PNG_INTERNET_ON_150", 72},  {u"PNG_INTERNET_ON_200", 96},
        {InternetOffPictureName, 48}, {u"PNG_INTERNET_OFF_150", 72}, {u"PNG_INTERNET_OFF_200", 96},
        {ProductPictureName, 128},    {u"PNG_PRODUCT_150", 192},     {u"PNG_PRODUCT_200", 256},
    };
    static constexpr BYTE Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static constexpr BYTE End[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    for (const auto& c : cases) {
        const auto [data, size] = ResourceBytes(AsWide(c.Name), RT_RCDATA);
        ASSERT_NE(data, nullptr) << ToUtf8(c.Name);
        ASSERT_GT(size, 33u + sizeof End) << ToUtf8(c.Name);
        EXPECT_EQ(std::memcmp(data, Signature, sizeof Signature), 0) << ToUtf8(c.Name);
        // The first chunk is the header: width, height, bit depth 8, colour type 6 (RGBA) or, for the larger
        // renderings, 3 (256 colours with their transparency).
        EXPECT_EQ(std::memcmp(data + 12, "IHDR", 4), 0) << ToUtf8(c.Name);
        EXPECT_EQ(BigEndian32(data + 16), c.Size) << ToUtf8(c.Name);
        EXPECT_EQ(BigEndian32(data + 20), c.Size) << ToUtf8(c.Name);
        EXPECT_EQ(data[24], 8) << ToUtf8(c.Name);
        EXPECT_TRUE(data[25] == 6 || (data[25] == 3 && c.Size > 48 && c.Size != 128)) << ToUtf8(c.Name);
        // Not cut short: the resource ends with the image-end chunk.
        EXPECT_EQ(std::memcmp(data + size - sizeof End, End, sizeof End), 0) << ToUtf8(c.Name);
    }
}

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return path;
}

TEST(ResourcesTest, VersionInformationCarriesTheProjectsVersionAndCopyright) {
    const std::wstring path = OwnPath();
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, DWORD(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = MAKELONG(TARNWICK_VERSION_MINOR, TARNWICK_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, TARNWICK_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

    const std::wstring version = L"" TARNWICK_VERSION_TEXT;
    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"\\StringFileInfo\\040904B0\\ProductName", L"Tarnwick"},
        {L"\\StringFileInfo\\040904B0\\ProductVersion", version},
        {L"\\StringFileInfo\\040904B0\\FileVersion", version},
        {L"\\StringFileInfo\\040904B0\\OriginalFilename", L"tarnwick.exe"},
        {L"\\StringFileInfo\\040904B0\\LegalCopyright", L"Copyright (c) 2026 The Tarnwick developers"},
        // The one publisher of the installer and the package manifests too.
        {L"\\StringFileInfo\\040904B0\\CompanyName", L"The Tarnwick developers"},
    };
    for (const auto& [key, expected] : strings) {
        wchar_t* value = nullptr;
        ASSERT_TRUE(::VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &length))
            << ToUtf8(FromWide(key));
        EXPECT_EQ(std::wstring(value), expected) << ToUtf8(FromWide(key));
    }
}

TEST(ResourcesTest, OneManifestAsksForCommonControlsSixAndTheCallersRights) {
    std::vector<ULONG_PTR> ids;
    ::EnumResourceNamesW(
        ::GetModuleHandleW(nullptr), RT_MANIFEST,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            reinterpret_cast<std::vector<ULONG_PTR>*>(param)->push_back(reinterpret_cast<ULONG_PTR>(name));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    // A second manifest (a toolchain's default one) would leave it open which one Windows reads.
    EXPECT_EQ(ids, std::vector<ULONG_PTR>{1});

    const auto [data, size] = ResourceBytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(data, nullptr);
    const std::string manifest(reinterpret_cast<const char*>(data), size);
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
              std::string::npos);
    EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    // The program's own identity carries the same version as its version resource.
    EXPECT_NE(manifest.find(std::string(R"(name="Tarnwick.Tarnwick" version=")") +
                            TARNWICK_VERSION_QUAD_TEXT + "\""),
              std::string::npos);
}

TEST(ResourcesTest, TheManifestMakesTheProcessAwareOfEachMonitorsDpi) {
    // Windows 10's calls, looked up by name as the program does.
    using TGetContext = HANDLE(WINAPI*)();
    using TGetAwareness = int(WINAPI*)(HANDLE);
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto getContext = reinterpret_cast<TGetContext>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto getAwareness = reinterpret_cast<TGetAwareness>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(getContext && getAwareness);
    EXPECT_EQ(getAwareness(getContext()), 2) << "DPI_AWARENESS_PER_MONITOR_AWARE";
}

TEST(ResourcesTest, TheManifestBringsCommonControlsSix) {
    // The process's activation context comes from the manifest: a plain load of comctl32 is then redirected
    // to version 6 in the side-by-side store (Wine's answers to DllGetVersion stay at 5.81, so the path
    // is what tells).
    const HMODULE comctl = ::LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(comctl, path.data(), DWORD(path.size())));
    ::FreeLibrary(comctl);
    for (auto& c : path)
        c = ::towlower(c);
    EXPECT_NE(path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."), std::wstring::npos)
        << ToUtf8(FromWide(path.c_str()));
}

} // namespace
} // namespace tarnwick::win32
