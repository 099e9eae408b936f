#include "app/VersionResource.h"

namespace tarnwick {

namespace {

constexpr std::uint32_t FixedFileInfoSignature = 0xFEEF04BD;
constexpr std::size_t FixedFileInfoSize = 52;
constexpr char16_t RootKey[] = u"VS_VERSION_INFO";

std::uint32_t Read16(std::span<const std::uint8_t> Bytes, std::size_t At) {
    return std::uint32_t(Bytes[At]) | std::uint32_t(Bytes[At + 1]) << 8;
}

std::uint32_t Read32(std::span<const std::uint8_t> Bytes, std::size_t At) {
    return Read16(Bytes, At) | Read16(Bytes, At + 2) << 16;
}

std::u16string Number(std::uint32_t Value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), char16_t(u'0' + Value % 10));
        Value /= 10;
    } while (Value != 0);
    return digits;
}

} // namespace

std::u16string ProductVersionOf(std::span<const std::uint8_t> VersionInfo) {
    // wLength, wValueLength, wType, the key with its terminating zero, padding to 32 bits, then the value.
    constexpr std::size_t KeyLength = sizeof RootKey / sizeof RootKey[0];
    constexpr std::size_t ValueAt = (6 + 2 * KeyLength + 3) / 4 * 4;
    if (VersionInfo.size() < ValueAt + FixedFileInfoSize || Read16(VersionInfo, 2) < FixedFileInfoSize) {
        return {};
    }
    for (std::size_t i = 0; i < KeyLength; ++i) {
        if (Read16(VersionInfo, 6 + 2 * i) != RootKey[i]) {
            return {};
        }
    }
    if (Read32(VersionInfo, ValueAt) != FixedFileInfoSignature) {
        return {};
    }
    // dwSignature, dwStrucVersion, dwFileVersionMS, dwFileVersionLS, dwProductVersionMS, dwProductVersionLS.
    const std::uint32_t high = Read32(VersionInfo, ValueAt + 16);
    const std::uint32_t low = Read32(VersionInfo, ValueAt + 20);
    std::u16string text = Number(high >> 16) + u'.' + Number(high & 0xFFFF) + u'.' + Number(low >> 16);
    if ((low & 0xFFFF) != 0) {
        text += u'.' + Number(low & 0xFFFF);
    }
    return text;
}

} // namespace tarnwick
