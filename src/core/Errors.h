#pragma once
// The error kinds of the system. Every error carries its message text in UTF-16, as the user sees it.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace tarnwick {

// The general error: a message text and nothing else.
class EGeneralError : public std::exception {
public:
    explicit EGeneralError(std::u16string message);
    const std::u16string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    std::u16string FMessage;
    std::string FUtf8;
};

// A failed operating-system call, with the error code it left.
class EOSError : public EGeneralError {
public:
    EOSError(std::u16string message, std::uint32_t errorCode)
        : EGeneralError(std::move(message)), FErrorCode(errorCode) {}
    std::uint32_t ErrorCode() const noexcept { return FErrorCode; }

private:
    std::uint32_t FErrorCode;
};

// The platform ran out of a resource (for example timers).
class EOutOfResources : public EGeneralError {
public:
    using EGeneralError::EGeneralError;
};

// A broken precondition: a programming error, reported with its source position.
class EAssertionFailed : public EGeneralError {
public:
    EAssertionFailed(std::u16string message, std::u16string unitName, int line);
    const std::u16string& UnitName() const noexcept { return FUnitName; }
    int Line() const noexcept { return FLine; }

private:
    std::u16string FUnitName;
    int FLine;
};

// The one place where the texts of operating-system errors are built. SystemText is the system's message
// for the code; it is trimmed to read inside the sentence.
inline constexpr char16_t OsErrorPattern[] = u"Windows error %d (%s)";
// A failed system call: "Windows error %d (%s)" with the code and the text, or another pattern with the same
// two placeholders.
EOSError OsError(std::uint32_t ErrorCode, std::u16string_view SystemText,
                 std::u16string_view Pattern = OsErrorPattern);
// A failed COM call: its HRESULT shown as the signed number it is.
EOSError OsErrorOfResult(std::int32_t Result, std::u16string_view SystemText);
// The runtime's error for a thread's last error code: "System Error.  Code: %d." and the text on the next
// line, or "A call to an OS function failed" when the code is 0.
EOSError LastOsError(std::uint32_t ErrorCode, std::u16string_view SystemText);

} // namespace tarnwick
