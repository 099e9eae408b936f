#include "instance/HandOver.h"

#include <algorithm>
#include <vector>

#include "core/PlatformConstants.h"
#include "instance/InstanceClaim.h"

namespace tarnwick {

namespace {

static_assert(sizeof(std::intptr_t) == 8, "the reply carries its mark above the 32-bit result");
constexpr std::intptr_t ReplyMark = std::intptr_t(1) << 32;
constexpr int Rounds = 50;
constexpr std::uint32_t PauseMs = 200;
// As long as the instance is not hung, its answer is awaited however long its action takes (an error box
// may wait for the user); a hung instance is given up after this.
constexpr std::uint32_t HungTimeoutMs = 10000;

} // namespace

std::intptr_t EncodeHandOverReply(std::int32_t ExitCode) noexcept {
    return ReplyMark | static_cast<std::intptr_t>(static_cast<std::uint32_t>(ExitCode));
}

std::optional<std::int32_t> DecodeHandOverReply(std::intptr_t Reply) noexcept {
    if ((Reply & ~std::intptr_t(0xFFFFFFFF)) != ReplyMark) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Reply & 0xFFFFFFFF));
}

std::optional<std::u16string> HandedOverCommandLine(std::intptr_t CopyDataLParam) {
    const auto* data = reinterpret_cast<const TCopyDataStruct*>(CopyDataLParam);
    if (data == nullptr || data->dwData != HandOverDataKind || data->cbData % sizeof(char16_t) != 0 ||
        data->cbData > LongestCommandLine * sizeof(char16_t) ||
        (data->cbData != 0 && data->lpData == nullptr)) {
        return std::nullopt;
    }
    std::u16string text(data->cbData / sizeof(char16_t), u'\0');
    if (!text.empty()) {
        std::char_traits<char16_t>::copy(text.data(), static_cast<const char16_t*>(data->lpData),
                                         text.size());
    }
    return text;
}

THandOverResult HandOverCommandLine(IInstancePlatform& Instance, IWindowPlatform& Windows,
                                    const char16_t* WindowClass, const std::u16string& CommandLine,
                                    const std::function<bool()>& TryClaim) {
    // Windows that took the message and gave no answer of ours: none gets a second one.
    std::vector<HWND_T> silent;
    for (int round = 0; round < Rounds; ++round) {
        if (round > 0) {
            Instance.Sleep(PauseMs);
        }
        const HWND_T window = Windows.FindWindowW(WindowClass, nullptr);
        // Only the window of the process that holds the claim is the instance's: another program's window
        // of the same class gets nothing.
        const std::uint32_t process = window == 0 ? 0 : Instance.GetWindowThreadProcessId(window);
        if (window == 0 || std::ranges::find(silent, window) != silent.end() ||
            !HoldsInstanceClaim(Instance, process)) {
            if (TryClaim()) {
                return {THandOverOutcome::hoBecameInstance, 0, 0};
            }
            continue;
        }
        // The instance may then bring its window to the front, as this start was allowed to.
        Instance.AllowSetForegroundWindow(process);
        std::intptr_t reply = 0;
        std::uint32_t error = 0;
        if (Instance.SendCopyData(window, 0, HandOverDataKind, CommandLine,
                                  SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, HungTimeoutMs, reply, error)) {
            if (const auto exitCode = DecodeHandOverReply(reply)) {
                return {THandOverOutcome::hoAccepted, *exitCode, window};
            }
            // Answered by a window going away: look again, for another one.
            silent.push_back(window);
        } else if (error == ERROR_ACCESS_DENIED) {
            return {THandOverOutcome::hoRefused, 0, window};
        } else if (error == ERROR_TIMEOUT) {
            return {THandOverOutcome::hoNoAnswer, 0, window};
        }
        if (TryClaim()) {
            return {THandOverOutcome::hoBecameInstance, 0, 0};
        }
    }
    return {THandOverOutcome::hoNoAnswer, 0, 0};
}

} // namespace tarnwick
