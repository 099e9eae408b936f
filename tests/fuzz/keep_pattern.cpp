// Any keep-list pattern against any adapter name: matching ends (no recursion, bounded steps) and agrees
// with a plain reference where the pattern has no wildcard, and "*" around a text always matches it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Text.h"
#include "netcore/KeepList.h"
#include "tests/fuzz/FuzzCheck.h"

using tarnwick::fuzz::Check;

namespace {
// The reference for a pattern without wildcards: equal letter by letter after the keep list's own folding.
bool SameLetters(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (tarnwick::LowerCaseLetter(a[i]) != tarnwick::LowerCaseLetter(b[i])) {
            return false;
        }
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t patternLength = data[0];
    std::u16string pattern, text;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        // Mostly a small alphabet with the wildcards, so that matches and near-misses are common.
        char16_t c = data[i + 1] < 0xF0 ? char16_t(u"ab*?AB"[data[i + 1] % 6]) : char16_t(data[i] | 0x100);
        (pattern.size() < patternLength ? pattern : text) += c;
    }
    const bool matches = tarnwick::MatchesPattern(pattern, text);
    if (pattern.find_first_of(u"*?") == std::u16string::npos) {
        Check(matches == SameLetters(pattern, text));
    }
    if (text.find_first_of(u"*?") == std::u16string::npos) {
        Check(tarnwick::MatchesPattern(text, text));
        Check(tarnwick::MatchesPattern(u"*" + text + u"*", u"x" + text + u"y"));
    }
    // A multi-string made of the fuzz bytes never yields an empty pattern.
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (const auto& item : tarnwick::SplitMultiString(bytes)) {
        Check(!item.empty());
    }
    return 0;
}
