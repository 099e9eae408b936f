#include "support/SupportUtils.h"

#include <climits>
#include <vector>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick {

std::u16string GetAppDataFolder(ISystemPlatform& System) {
    char16_t path[MAX_PATH + 1] = {};
    if (!System.SHGetSpecialFolderPathW(0, path, int(CSIDL_APPDATA), false)) {
        throw EGeneralError(u"Cannot get CSIDL_APPDATA special folder!");
    }
    path[MAX_PATH] = 0;
    return std::u16string(path);
}

std::u16string ExeBaseNameOf(std::u16string_view Path) {
    std::u16string_view name = Path;
    if (const auto cut = name.find_last_of(u"\\:"); cut != std::u16string_view::npos) {
        name.remove_prefix(cut + 1);
    }
    if (const auto dot = name.rfind(u'.'); dot != std::u16string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::u16string(name);
}

std::u16string ProgramFileName(ISystemPlatform& System) {
    // A path longer than MAX_PATH is cut to the buffer: grow it until the name fits.
    std::vector<char16_t> buffer(MAX_PATH + 1);
    for (;;) {
        const auto size = static_cast<std::uint32_t>(buffer.size());
        const std::uint32_t length = System.GetModuleFileNameW(0, buffer.data(), size);
        if (length < size) {
            return std::u16string(buffer.data(), length);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string GetExeBaseName(ISystemPlatform& System) {
    return ExeBaseNameOf(ProgramFileName(System));
}

std::uint8_t WindowsVersionCodeOf(std::uint32_t Major, std::uint32_t Minor) noexcept {
    struct Row {
        std::uint32_t Major, Minor;
        std::uint8_t Code;
    };
    static constexpr Row table[] = {{4, 0, 1}, {4, 10, 2}, {4, 90, 3}, {5, 0, 4},
                                    {5, 1, 5}, {6, 0, 6},  {6, 1, 7}};
    for (const Row& row : table) {
        if (row.Major == Major && row.Minor == Minor) {
            return row.Code;
        }
    }
    return 0;
}

TWindowsVersion GetWindowsVersion(ISystemPlatform& System) {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = OsVersionInfoSize;
    if (!System.GetVersionExW(info)) {
        return {};
    }
    return {info.dwMajorVersion, info.dwMinorVersion};
}

std::uint8_t GetWindowsVersionCode(ISystemPlatform& System) {
    const TWindowsVersion version = GetWindowsVersion(System);
    return WindowsVersionCodeOf(version.Major, version.Minor);
}

bool IsNewerThanWindows7(TWindowsVersion Version) noexcept {
    return Version.Major > 6 || (Version.Major == 6 && Version.Minor > 1);
}

std::string WideToCodePage(ISystemPlatform& System, std::u16string_view Text, std::uint16_t CodePage) {
    if (Text.empty() || Text.size() >= std::size_t(INT_MAX)) {
        return {};
    }
    constexpr std::uint32_t flags = WC_COMPOSITECHECK | WC_DEFAULTCHAR | WC_SEPCHARS | WC_DISCARDNS;
    // The text with its terminating NUL, counted explicitly so that a NUL inside it does not end it.
    const std::u16string source(Text);
    const int sourceLength = int(source.size()) + 1;
    const int length = System.WideCharToMultiByte(CodePage, flags, source.c_str(), sourceLength, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::string result(std::size_t(length), '\0');
    const int written =
        System.WideCharToMultiByte(CodePage, flags, source.c_str(), sourceLength, result.data(), length);
    if (written <= 1) {
        return {};
    }
    result.resize(std::size_t(written) - 1);
    return result;
}

std::u16string BoolToText(bool Value) {
    return Value ? u"True" : u"False";
}

std::u16string RectToText(const TRect& R) {
    return FormatText(
        u"Left: %d, Top: %d, Right: %d, Bottom: %d",
        {std::int64_t(R.Left), std::int64_t(R.Top), std::int64_t(R.Right), std::int64_t(R.Bottom)});
}

} // namespace tarnwick
