#include "core/Text.h"

#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarnwick {

char16_t LowerCaseLetter(char16_t c) noexcept {
    // The ranges where capital and small letter lie a fixed distance apart.
    struct TRange {
        char16_t First, Last, Distance;
    };
    static constexpr TRange Ranges[] = {
        {u'A', u'Z', 0x20},     {0x00C0, 0x00D6, 0x20}, {0x00D8, 0x00DE, 0x20}, {0x0388, 0x038A, 0x25},
        {0x038E, 0x038F, 0x3F}, {0x0391, 0x03A1, 0x20}, {0x03A3, 0x03AB, 0x20}, {0x0400, 0x040F, 0x50},
        {0x0410, 0x042F, 0x20}, {0x0531, 0x0556, 0x30}, {0xFF21, 0xFF3A, 0x20},
    };
    for (const TRange& range : Ranges) {
        if (c >= range.First && c <= range.Last) {
            return char16_t(c + range.Distance);
        }
    }
    // Where capital and small letter alternate: the capital at the even (or, marked, the odd) place.
    struct TPairs {
        char16_t First, Last;
        bool CapitalOdd;
    };
    static constexpr TPairs Pairs[] = {
        {0x0100, 0x012F, false}, {0x0132, 0x0137, false}, {0x0139, 0x0148, true},
        {0x014A, 0x0177, false}, {0x0179, 0x017E, true},  {0x0460, 0x0481, false},
        {0x048A, 0x04BF, false}, {0x04C1, 0x04CE, true},  {0x04D0, 0x052F, false},
    };
    for (const TPairs& pairs : Pairs) {
        if (c >= pairs.First && c <= pairs.Last && ((c & 1) != 0) == pairs.CapitalOdd) {
            return char16_t(c + 1);
        }
    }
    switch (c) {
    case 0x0130: // Turkish capital I with dot
        return u'i';
    case 0x0178: // Y with diaeresis
        return 0x00FF;
    case 0x0386: // Greek alpha with tonos
        return 0x03AC;
    case 0x038C: // Greek omicron with tonos
        return 0x03CC;
    case 0x04C0: // Cyrillic palochka
        return 0x04CF;
    default:
        return c;
    }
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            bool valid = i + len <= text.size();
            std::uint32_t value = c & (0x7F >> len);
            for (std::size_t k = 1; valid && k < len; ++k) {
                const unsigned char cc = static_cast<unsigned char>(text[i + k]);
                valid = (cc & 0xC0) == 0x80;
                value = (value << 6) | (cc & 0x3F);
            }
            if (valid) {
                cp = value;
            } else {
                len = 1;
            }
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp > 0x10FFFF ? 0xFFFD : cp);
        }
        i += len;
    }
    return out;
}

bool SameTextAscii(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    // From the end: instance IDs of one bus share long beginnings and differ in their last characters.
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i] && UpCaseAscii(a[i]) != UpCaseAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::u16string UpperAscii(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) {
        c = UpCaseAscii(c);
    }
    return out;
}

std::u16string LowerAscii(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) {
        c = LowCaseAscii(c);
    }
    return out;
}

std::u16string_view ViewUpToNul(const char16_t* buffer, std::size_t capacity) noexcept {
    std::size_t length = 0;
#if defined(__SSE2__)
    // Eight code units at a time.
    const __m128i zero = _mm_setzero_si128();
    for (; length + 8 <= capacity; length += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + length));
        const int nuls = _mm_movemask_epi8(_mm_cmpeq_epi16(units, zero));
        if (nuls != 0) {
            return std::u16string_view(buffer, length + static_cast<std::size_t>(__builtin_ctz(nuls)) / 2);
        }
    }
#endif
    while (length < capacity && buffer[length] != u'\0') {
        ++length;
    }
    return std::u16string_view(buffer, length);
}

std::u16string TextUpToNul(const char16_t* buffer, std::size_t capacity) {
    return std::u16string(ViewUpToNul(buffer, capacity));
}

std::u16string TextUpToNul(const std::uint8_t* buffer, std::size_t bytes) {
    // Read through bytes: the buffer need not be aligned for char16_t.
    std::u16string text(bytes / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), buffer, text.size() * sizeof(char16_t));
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
}

std::size_t AsciiCaseInsensitiveHash::operator()(std::u16string_view text) const noexcept {
    // FNV-1a over the folded code units.
    std::uint64_t h = 1469598103934665603ull;
    for (char16_t c : text) {
        h ^= UpCaseAscii(c);
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}

namespace {

void AppendAscii(std::u16string& out, const char* text) {
    for (; *text; ++text) {
        out += char16_t(static_cast<unsigned char>(*text));
    }
}

} // namespace

std::u16string FormatText(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
    std::u16string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'%' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        if (pattern[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        // Optional precision (".N") before the conversion letter.
        std::size_t j = i + 1;
        int precision = -1;
        if (pattern[j] == u'.') {
            precision = 0;
            ++j;
            while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9') {
                precision = precision * 10 + (pattern[j] - u'0');
                ++j;
            }
        }
        if (j >= pattern.size() || next == args.end()) {
            out += pattern[i];
            continue;
        }
        const char16_t kind = pattern[j];
        const FormatArg& arg = *next;
        char buffer[64];
        bool written = true;
        if (kind == u's' && std::holds_alternative<std::u16string_view>(arg)) {
            out += std::get<std::u16string_view>(arg);
        } else if ((kind == u'd' || kind == u'u') && std::holds_alternative<std::int64_t>(arg)) {
            std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(std::get<std::int64_t>(arg)));
            AppendAscii(out, buffer);
        } else if ((kind == u'd' || kind == u'u') && std::holds_alternative<std::uint64_t>(arg)) {
            std::snprintf(buffer, sizeof buffer, "%llu",
                          static_cast<unsigned long long>(std::get<std::uint64_t>(arg)));
            AppendAscii(out, buffer);
        } else if (kind == u'x' && !std::holds_alternative<std::u16string_view>(arg) &&
                   !std::holds_alternative<double>(arg)) {
            const auto value = std::holds_alternative<std::int64_t>(arg)
                                   ? static_cast<unsigned long long>(std::get<std::int64_t>(arg))
                                   : static_cast<unsigned long long>(std::get<std::uint64_t>(arg));
            std::snprintf(buffer, sizeof buffer, "%llX", value);
            AppendAscii(out, buffer);
        } else if (kind == u'f' && std::holds_alternative<double>(arg)) {
            std::snprintf(buffer, sizeof buffer, "%.*f", precision < 0 ? 2 : precision,
                          std::get<double>(arg));
            AppendAscii(out, buffer);
        } else {
            written = false;
        }
        if (written) {
            ++next;
            i = j;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::u16string IntToText(std::int64_t value) {
    return FormatText(u"%d", {value});
}

std::u16string TrimSystemMessage(std::u16string_view message) {
    std::u16string out;
    out.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char16_t c = message[i];
        if (c == u'\r' || c == u'\n') {
            // A CR LF pair, or a lone break, becomes one space so that the text stays on one line.
            if (c == u'\r' && i + 1 < message.size() && message[i + 1] == u'\n') {
                ++i;
            }
            out += u' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && (out.back() == u' ' || out.back() == u'\t' || out.back() == u'.')) {
        out.pop_back();
    }
    return out;
}

} // namespace tarnwick
