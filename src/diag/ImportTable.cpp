#include "diag/ImportTable.h"

#include <cstring>

#include "core/Text.h"

namespace tarnwick {

namespace {

// Offsets of the PE format (winnt.h).
constexpr std::size_t DosHeaderSize = 64;
constexpr std::size_t DosNewHeaderOffset = 0x3C; // e_lfanew
constexpr std::uint16_t DosSignature = 0x5A4D;   // "MZ"
constexpr std::size_t NtHeaders64Size = 264;
constexpr std::uint32_t NtSignature = 0x00004550; // "PE\0\0"
// Signature (4) and file header (20), then the 64-bit optional header with its data directories at 112.
constexpr std::size_t ImportDirectoryOffset = 4 + 20 + 112 + 8 * 1;
constexpr std::size_t ImportDescriptorSize = 20;
constexpr std::size_t DescriptorNameOffset = 12;
constexpr std::size_t DescriptorFirstThunkOffset = 16;
constexpr std::size_t ThunkSize = 8;

template <typename T> T ReadAt(std::uintptr_t address) {
    T value;
    std::memcpy(&value, reinterpret_cast<const void*>(address), sizeof value);
    return value;
}

// The zero-terminated 8-bit name at address against a name of ASCII letters, ASCII case ignored.
bool SameLibraryName(std::uintptr_t address, std::u16string_view name) {
    const auto* text = reinterpret_cast<const unsigned char*>(address);
    std::size_t i = 0;
    for (; i < name.size(); ++i) {
        if (text[i] == 0 || UpCaseAscii(char16_t(text[i])) != UpCaseAscii(name[i])) {
            return false;
        }
    }
    return text[i] == 0;
}

} // namespace

bool ReplaceImportedFunction(IProcessImagePlatform& Platform, HMODULE_T Module,
                             std::u16string_view LibraryName, std::uintptr_t OldAddress,
                             std::uintptr_t NewAddress) {
    if (Platform.IsBadReadPtr(Module, DosHeaderSize) || ReadAt<std::uint16_t>(Module) != DosSignature) {
        return false;
    }
    const auto newHeaderOffset = ReadAt<std::int32_t>(Module + DosNewHeaderOffset);
    if (newHeaderOffset == 0) {
        return false;
    }
    const std::uintptr_t ntHeaders = Module + static_cast<std::intptr_t>(newHeaderOffset);
    if (Platform.IsBadReadPtr(ntHeaders, NtHeaders64Size) ||
        ReadAt<std::uint32_t>(ntHeaders) != NtSignature) {
        return false;
    }
    const auto importDirectory = ReadAt<std::uint32_t>(ntHeaders + ImportDirectoryOffset);
    if (importDirectory == 0) {
        return false;
    }

    const HPROCESS_T process = Platform.GetCurrentProcess();
    bool replaced = false;
    // A library may have several descriptors; every one of them is patched, every entry visited.
    for (std::uintptr_t descriptor = Module + importDirectory;; descriptor += ImportDescriptorSize) {
        const auto name = ReadAt<std::uint32_t>(descriptor + DescriptorNameOffset);
        if (name == 0) {
            break;
        }
        if (!SameLibraryName(Module + name, LibraryName)) {
            continue;
        }
        const auto firstThunk = ReadAt<std::uint32_t>(descriptor + DescriptorFirstThunkOffset);
        if (firstThunk == 0) {
            continue; // no address table: offset 0 would be the image's own headers
        }
        for (std::uintptr_t thunk = Module + firstThunk;; thunk += ThunkSize) {
            const auto entry = ReadAt<std::uint64_t>(thunk);
            if (entry == 0) {
                break;
            }
            if (entry != OldAddress) {
                continue;
            }
            const std::uint64_t value = NewAddress;
            std::size_t written = 0;
            if (Platform.WriteProcessMemory(process, thunk, &value, ThunkSize, &written) &&
                written == ThunkSize) {
                replaced = true;
            }
        }
    }
    return replaced;
}

} // namespace tarnwick
