#include "platform/win32/Win32Text.h"

#include "core/Text.h"

namespace tarnwick::win32 {

std::u16string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (length != 0 && buffer != nullptr) {
        text.assign(reinterpret_cast<const char16_t*>(buffer), length);
    }
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    return TrimSystemMessage(text);
}

} // namespace tarnwick::win32
