#pragma once
// UTF-16 text helpers shared by every subsystem: conversions, ASCII-only case folding, formatting.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tarnwick {

std::string ToUtf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);

// The small letter of a capital of the Latin (ASCII, Latin-1 and Latin Extended-A), Greek, Cyrillic and
// Armenian alphabets and of the full-width Latin letters; every other character as it is. Where the
// capital of one language is the letter of another (Turkish dotted I), the common small letter is taken.
char16_t LowerCaseLetter(char16_t c) noexcept;

constexpr char16_t UpCaseAscii(char16_t c) noexcept {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}
constexpr char16_t LowCaseAscii(char16_t c) noexcept {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// Equal after folding a-z to A-Z; every other character compared by its code.
bool SameTextAscii(std::u16string_view a, std::u16string_view b) noexcept;
std::u16string UpperAscii(std::u16string_view text);
std::u16string LowerAscii(std::u16string_view text);

// The text of a buffer the platform filled: up to its first NUL, or all of it when it has none.
std::u16string TextUpToNul(const char16_t* buffer, std::size_t capacity);
// The same as a view into the buffer.
std::u16string_view ViewUpToNul(const char16_t* buffer, std::size_t capacity) noexcept;
// The same for a buffer of bytes holding UTF-16 in the platform's order; an odd last byte is ignored.
std::u16string TextUpToNul(const std::uint8_t* buffer, std::size_t bytes);

// Exactly equal, compared a block at a time.
inline bool SameText(std::u16string_view a, std::u16string_view b) noexcept {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// Hash and equality for containers keyed by text compared ignoring ASCII case.
struct AsciiCaseInsensitiveHash {
    std::size_t operator()(std::u16string_view text) const noexcept;
};
struct AsciiCaseInsensitiveEqual {
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
        return SameTextAscii(a, b);
    }
};

// One argument of FormatText.
using FormatArg = std::variant<std::int64_t, std::uint64_t, double, std::u16string_view>;

// printf-style formatting of the system's message patterns: %d, %u, %x, %s, %.Nf and %%.
// A placeholder without an argument, or with one of another kind, is written as it stands.
std::u16string FormatText(std::u16string_view pattern, std::initializer_list<FormatArg> args);

std::u16string IntToText(std::int64_t value);

// The platform's message for an error code, made to read inside a sentence:
// trailing blanks, line breaks and full stops removed, inner line breaks turned into spaces.
std::u16string TrimSystemMessage(std::u16string_view message);

} // namespace tarnwick
