#pragma once
// The error kinds of the system. Every error carries its message text in UTF-16, as the user sees it.

#include <cstdint>
#include <exception>
#include <string>

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

} // namespace tarnwick
