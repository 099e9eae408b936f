#pragma once
// Handing a later start's command line to the running instance: WM_COPYDATA to the instance's main
// window with the command line as UTF-16 text; the window carries it out as if it were its own and
// replies with its exit code, which becomes the later start's. The window of an elevated instance
// never lets this message through its message filter, so only processes of its own integrity level can
// make it switch.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/Errors.h"
#include "platform/InstancePlatform.h"
#include "platform/WindowPlatform.h"

namespace tarnwick {

// The running instance holds the claim but does not take a later start's command line.
class EInstanceUnreachable : public EGeneralError {
public:
    using EGeneralError::EGeneralError;
};

// WM_COPYDATA's dwData of a handed-over command line.
inline constexpr std::uintptr_t HandOverDataKind = 0x54574E43;

// The window's reply carrying an exit code: marked, so that it differs from the 0 of a refused or lost
// message.
std::intptr_t EncodeHandOverReply(std::int32_t ExitCode) noexcept;
// The exit code a reply carries, or none when the reply is not one of ours.
std::optional<std::int32_t> DecodeHandOverReply(std::intptr_t Reply) noexcept;

// The longest command line Windows starts a process with, in characters (CreateProcess's limit).
inline constexpr std::uint32_t LongestCommandLine = 32767;

// The command line WM_COPYDATA's lParam carries, or none when it carries something else or more than a
// command line can be (left unread).
std::optional<std::u16string> HandedOverCommandLine(std::intptr_t CopyDataLParam);

enum class THandOverOutcome {
    hoBecameInstance, // no instance answered, and this start now holds the claim
    hoAccepted,       // the instance carried the command line out; ExitCode holds its exit code
    hoRefused,        // the instance's window refused the message: it runs at a higher integrity level
    hoNoAnswer,       // an instance holds the claim, but no window of it answered in time
};

struct THandOverResult {
    THandOverOutcome Outcome = THandOverOutcome::hoNoAnswer;
    std::int32_t ExitCode = 0;
    HWND_T Window = 0;
};

// Hands CommandLine to the window of class WindowClass, letting it come to the foreground; only a window
// of the process that holds the instance's claim (HoldsInstanceClaim) is sent anything, and a window that
// gives no answer of ours is sent nothing again. While the
// instance is still starting (or going away) it waits and tries again for about ten seconds, and claims
// the instance with TryClaim whenever no window is there: TryClaim returns true once the claim is ours.
THandOverResult HandOverCommandLine(IInstancePlatform& Instance, IWindowPlatform& Windows,
                                    const char16_t* WindowClass, const std::u16string& CommandLine,
                                    const std::function<bool()>& TryClaim);

} // namespace tarnwick
