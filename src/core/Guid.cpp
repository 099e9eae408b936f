#include "core/Guid.h"

#include <cstdio>

namespace tarnwick {

std::u16string GuidToText(const Guid& g) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(g.Data1), unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return std::u16string(buffer, buffer + 38);
}

namespace {

bool HexValue(char16_t c, unsigned& value) {
    if (c >= u'0' && c <= u'9') {
        value = c - u'0';
    } else if (c >= u'A' && c <= u'F') {
        value = c - u'A' + 10;
    } else if (c >= u'a' && c <= u'f') {
        value = c - u'a' + 10;
    } else {
        return false;
    }
    return true;
}

bool ReadHex(std::u16string_view text, std::size_t pos, std::size_t digits, std::uint64_t& out) {
    out = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        unsigned v;
        if (!HexValue(text[pos + i], v)) {
            return false;
        }
        out = out * 16 + v;
    }
    return true;
}

} // namespace

bool TextToGuid(std::u16string_view text, Guid& guid) {
    if (text.size() != 38 || text[0] != u'{' || text[37] != u'}' || text[9] != u'-' || text[14] != u'-' ||
        text[19] != u'-' || text[24] != u'-') {
        return false;
    }
    std::uint64_t v;
    Guid g{};
    if (!ReadHex(text, 1, 8, v)) {
        return false;
    }
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!ReadHex(text, 10, 4, v)) {
        return false;
    }
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(text, 15, 4, v)) {
        return false;
    }
    g.Data3 = static_cast<std::uint16_t>(v);
    const std::size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, v)) {
            return false;
        }
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    guid = g;
    return true;
}

} // namespace tarnwick
