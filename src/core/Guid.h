#pragma once
// A GUID laid out as the platform's, and the class and interface GUIDs the system names.

#include <cstdint>
#include <string>

namespace tarnwick {

struct Guid {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend bool operator==(const Guid&, const Guid&) = default;
};
static_assert(sizeof(Guid) == 16);

// Braced upper-case text form, as the setup registry stores it: {4D36E972-E325-11CE-BFC1-08002BE10318}.
std::u16string GuidToText(const Guid& guid);
// Parses the braced form (either case); false when the text is not one.
bool TextToGuid(std::u16string_view text, Guid& guid);

inline constexpr Guid GUID_DEVCLASS_NET{
    0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr Guid GUID_DEVINTERFACE_FLOPPY{
    0x53F56311, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
inline constexpr Guid GUID_DEVINTERFACE_DISK{
    0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
inline constexpr Guid GUID_DEVINTERFACE_CDROM{
    0x53F56308, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
inline constexpr Guid GUID_DEVINTERFACE_USB_DEVICE{
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

} // namespace tarnwick
