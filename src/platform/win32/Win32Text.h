#pragma once
// Shared pieces of the Win32 adapters: UTF-16 text at the edge, and the system's text for an error code.

#include <windows.h>

#include <string>

namespace tarnwick::win32 {

// On Windows wchar_t is a UTF-16 code unit, so the system's text and ours share their bytes.
inline const wchar_t* AsWide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
inline const wchar_t* AsWide(const std::u16string& text) {
    return AsWide(text.c_str());
}
inline std::u16string FromWide(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// The platform's message for an error code, trimmed to read inside a sentence (empty when it has none).
std::u16string SystemErrorText(DWORD code);

} // namespace tarnwick::win32
