#include "core/Errors.h"

#include "core/Text.h"

namespace tarnwick {

EGeneralError::EGeneralError(std::u16string message)
    : FMessage(std::move(message)), FUtf8(ToUtf8(FMessage)) {}

EAssertionFailed::EAssertionFailed(std::u16string message, std::u16string unitName, int line)
    : EGeneralError(std::move(message)), FUnitName(std::move(unitName)), FLine(line) {}

EOSError OsError(std::uint32_t ErrorCode, std::u16string_view SystemText, std::u16string_view Pattern) {
    const std::u16string text = TrimSystemMessage(SystemText);
    return EOSError(FormatText(Pattern, {std::int64_t(ErrorCode), std::u16string_view(text)}), ErrorCode);
}

EOSError OsErrorOfResult(std::int32_t Result, std::u16string_view SystemText) {
    const std::u16string text = TrimSystemMessage(SystemText);
    return EOSError(FormatText(OsErrorPattern, {std::int64_t(Result), std::u16string_view(text)}),
                    static_cast<std::uint32_t>(Result));
}

EOSError LastOsError(std::uint32_t ErrorCode, std::u16string_view SystemText) {
    if (ErrorCode == 0) {
        return EOSError(u"A call to an OS function failed", 0);
    }
    const std::u16string text = TrimSystemMessage(SystemText);
    return EOSError(FormatText(u"System Error.  Code: %d.\r\n%s",
                               {std::int64_t(std::int32_t(ErrorCode)), std::u16string_view(text)}),
                    ErrorCode);
}

} // namespace tarnwick
