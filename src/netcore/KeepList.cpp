#include "netcore/KeepList.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"
#include "support/RegistryKey.h"

namespace tarnwick {

bool MatchesPattern(std::u16string_view Pattern, std::u16string_view Text) noexcept {
    // Greedy walk that returns to the last "*" on a mismatch: no recursion, at most |P| x |T| steps.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::u16string_view::npos;
    std::size_t resume = 0;
    while (t < Text.size()) {
        if (p < Pattern.size() && Pattern[p] == u'*') {
            star = p++;
            resume = t;
        } else if (p < Pattern.size() &&
                   (Pattern[p] == u'?' || LowerCaseLetter(Pattern[p]) == LowerCaseLetter(Text[t]))) {
            ++p;
            ++t;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < Pattern.size() && Pattern[p] == u'*') {
        ++p;
    }
    return p == Pattern.size();
}

std::vector<std::u16string> SplitMultiString(const std::vector<std::uint8_t>& Data) {
    std::vector<std::u16string> texts;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < Data.size(); i += 2) {
        const auto c = static_cast<char16_t>(Data[i] | (Data[i + 1] << 8));
        if (c != u'\0') {
            text += c;
        } else if (!text.empty()) {
            texts.push_back(std::move(text));
            text.clear();
        }
    }
    if (!text.empty()) {
        texts.push_back(std::move(text)); // a value written without its closing NUL
    }
    return texts;
}

bool TKeepList::Keeps(const TPhysicalDevice& Adapter) const {
    for (const std::u16string& pattern : FPatterns) {
        for (const std::u16string_view field :
             {Adapter.VendorName(), Adapter.DEVICEDESC(), Adapter.HARDWAREID(), Adapter.PnPName()}) {
            if (!field.empty() && MatchesPattern(pattern, field)) {
                return true;
            }
        }
    }
    return false;
}

namespace {

void AppendList(IRegistryPlatform& Registry, RegKey Root, const char16_t* RootName, const char16_t* Path,
                std::vector<std::u16string>& Patterns) {
    std::int32_t status = std::int32_t(ERROR_SUCCESS);
    const auto key = TRegistryKey::Open(Registry, Root, Path, KEY_READ, &status);
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;
    if (key) {
        status = key->ReadValue(KeepValueName, type, data);
    }
    const std::u16string where = std::u16string(RootName) + u"\\" + Path + u"\\" + KeepValueName;
    if (status == std::int32_t(ERROR_FILE_NOT_FOUND)) {
        return;
    }
    if (status != std::int32_t(ERROR_SUCCESS)) {
        WriteToLog(FormatText(u"The list of kept adapters %s cannot be read (error %d) and is ignored",
                              {std::u16string_view(where), std::int64_t(status)}));
        return;
    }
    if (type != REG_MULTI_SZ) {
        WriteToLog(FormatText(u"The list of kept adapters %s is not a multi-string (type %u) and is ignored",
                              {std::u16string_view(where), std::uint64_t(type)}));
        return;
    }
    if (data.size() > MaxKeepListBytes) {
        // Up to the end of the last whole pattern: a cut one could keep more than it names.
        std::size_t end = MaxKeepListBytes & ~std::size_t(1);
        while (end >= 2 && (data[end - 2] | data[end - 1]) != 0) {
            end -= 2;
        }
        WriteToLog(FormatText(
            u"The list of kept adapters %s holds %u bytes; only its patterns within the "
            u"first %u bytes are used",
            {std::u16string_view(where), std::uint64_t(data.size()), std::uint64_t(MaxKeepListBytes)}));
        data.resize(end);
    }
    for (std::u16string& pattern : SplitMultiString(data)) {
        Patterns.push_back(std::move(pattern));
    }
}

} // namespace

TKeepList ReadKeepList(IRegistryPlatform& Registry) {
    std::vector<std::u16string> patterns;
    AppendList(Registry, HKeyCurrentUser, u"HKEY_CURRENT_USER", UserSettingsKey, patterns);
    AppendList(Registry, HKeyLocalMachine, u"HKEY_LOCAL_MACHINE", PolicySettingsKey, patterns);
    return TKeepList(std::move(patterns));
}

} // namespace tarnwick
