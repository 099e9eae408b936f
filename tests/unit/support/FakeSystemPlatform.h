#pragma once
// An in-memory stand-in for the system seam: every answer is a field the test sets, and the code-page
// conversion knows code page 1251.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemPlatform.h"

namespace tarnwick::testing {

// Code page 1251 from UTF-16, one byte per code unit; what the code page lacks becomes '?'.
inline char EncodeCp1251(char16_t c) {
    static constexpr char16_t high[128] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
        0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
        0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
        0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
        0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
        0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};
    if (c < 0x80) {
        return char(c);
    }
    for (int i = 0; i < 128; ++i) {
        if (high[i] == c) {
            return char(0x80 + i);
        }
    }
    return '?';
}

class FakeSystemPlatform : public ISystemPlatform {
public:
    struct ConversionCall {
        std::uint32_t CodePage;
        std::uint32_t Flags;
        std::u16string Source; // exactly the code units passed, a terminating NUL included
        int OutputSize;
    };

    // Answers; a test changes what it needs.
    std::uint32_t Major = 6, Minor = 1, Build = 7601;
    bool VersionSucceeds = true;
    std::optional<std::u16string> AppData = u"C:\\Users\\tester\\AppData\\Roaming";
    std::u16string ModuleFileName = u"C:\\Tools\\Tarnwick.exe";
    std::u16string CommandLine = u"\"C:\\Tools\\Tarnwick.exe\"";
    std::u16string TimeSeparator = u":";
    SYSTEMTIME Now{2012, 3, 6, 24, 17, 5, 9, 41};
    std::uint32_t ProcessId = 2412, ThreadId = 3080;
    std::uint32_t LastError = 0;

    // What was asked.
    std::vector<std::uint32_t> VersionSizesAsked;
    std::vector<int> FoldersAsked;
    std::vector<ConversionCall> Conversions;
    int ModuleNameCalls = 0;

    bool GetVersionExW(OSVERSIONINFOEXW& info) override {
        VersionSizesAsked.push_back(info.dwOSVersionInfoSize);
        if (!VersionSucceeds) {
            return false;
        }
        info.dwMajorVersion = Major;
        info.dwMinorVersion = Minor;
        info.dwBuildNumber = Build;
        info.dwPlatformId = 2;
        return true;
    }

    bool SHGetSpecialFolderPathW(std::uintptr_t, char16_t* path, int csidl, bool) override {
        FoldersAsked.push_back(csidl);
        if (!AppData) {
            return false;
        }
        const std::size_t length = std::min<std::size_t>(AppData->size(), 260);
        std::memcpy(path, AppData->data(), length * sizeof(char16_t));
        path[length] = 0;
        return true;
    }

    std::uint32_t GetModuleFileNameW(std::uintptr_t, char16_t* name, std::uint32_t size) override {
        ++ModuleNameCalls;
        if (size == 0) {
            return 0;
        }
        // Like Windows 7: a cut name fills the buffer, terminated, and the size is returned.
        if (ModuleFileName.size() >= size) {
            std::memcpy(name, ModuleFileName.data(), (size - 1) * sizeof(char16_t));
            name[size - 1] = 0;
            return size;
        }
        std::memcpy(name, ModuleFileName.data(), ModuleFileName.size() * sizeof(char16_t));
        name[ModuleFileName.size()] = 0;
        return std::uint32_t(ModuleFileName.size());
    }

    std::u16string GetCommandLineW() override { return CommandLine; }

    int WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const char16_t* text, int count,
                            char* out, int outSize) override {
        std::u16string source =
            count < 0 ? std::u16string(text) + u'\0' : std::u16string(text, std::size_t(count));
        Conversions.push_back({codePage, flags, source, outSize});
        if (codePage != 1251) {
            return 0; // only the code page of the log is known here
        }
        const int needed = int(source.size());
        if (outSize == 0) {
            return needed;
        }
        if (outSize < needed) {
            return 0;
        }
        for (std::size_t i = 0; i < source.size(); ++i) {
            out[i] = EncodeCp1251(source[i]);
        }
        return needed;
    }

    int GetLocaleInfoW(std::uint32_t, std::uint32_t, char16_t* data, int count) override {
        if (TimeSeparator.empty()) {
            return 0;
        }
        const int needed = int(TimeSeparator.size()) + 1;
        if (count < needed) {
            return 0;
        }
        std::memcpy(data, TimeSeparator.c_str(), std::size_t(needed) * sizeof(char16_t));
        return needed;
    }

    void GetLocalTime(SYSTEMTIME& time) override { time = Now; }
    std::uint32_t GetCurrentProcessId() override { return ProcessId; }
    std::uint32_t GetCurrentThreadId() override { return ThreadId; }
    std::uint32_t GetLastError() override { return LastError; }
    std::u16string SysErrorMessage(std::uint32_t code) override {
        return code == 1223 ? u"The operation was canceled by the user" : u"Error " + std::u16string(1, u'?');
    }

    // Locale comparison with the ASCII letters folded when NORM_IGNORECASE (1) is asked for.
    std::vector<std::uint32_t> CompareLocales;
    int CompareStringW(std::uint32_t locale, std::uint32_t flags, const std::u16string& a,
                       const std::u16string& b) override {
        CompareLocales.push_back(locale);
        auto fold = [flags](char16_t c) -> char16_t {
            return (flags & 1) && c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        };
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            if (fold(a[i]) != fold(b[i])) {
                return fold(a[i]) < fold(b[i]) ? 1 : 3;
            }
        }
        return a.size() == b.size() ? 2 : (a.size() < b.size() ? 1 : 3);
    }

    // The process token: whether it can be read, and whether it is elevated.
    bool TokenReadable = true;
    bool Elevated = false;
    bool GetTokenElevation(bool& elevated) override {
        if (!TokenReadable) {
            return false;
        }
        elevated = Elevated;
        return true;
    }
};

} // namespace tarnwick::testing
