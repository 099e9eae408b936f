#pragma once
// A stand-in for the shell-execution seam that records every request with copies of its texts.

#include <functional>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "platform/ShellExecutePlatform.h"

namespace tarnwick::testing {

class FakeShellExecutePlatform : public IShellExecutePlatform {
public:
    struct Request {
        SHELLEXECUTEINFOW Info; // the pointers in it are not kept valid; see the copies
        std::u16string Verb, File, Parameters;
    };

    bool Succeeds = true;
    std::vector<Request> Requests;
    // Runs as a request is made, before it succeeds or fails.
    std::function<void()> OnExecute;

    bool ShellExecuteExW(SHELLEXECUTEINFOW& info) override {
        if (OnExecute) {
            OnExecute();
        }
        auto text = [](const char16_t* p) { return p ? std::u16string(p) : std::u16string(); };
        Requests.push_back({info, text(info.lpVerb), text(info.lpFile), text(info.lpParameters)});
        if (Succeeds) {
            info.hInstApp = 42; // above 32: success
            if (info.fMask & SEE_MASK_NOCLOSEPROCESS) {
                info.hProcess = StartedCopy;
            }
        }
        return Succeeds;
    }

    struct OpenRequest {
        std::uintptr_t Window;
        std::u16string Operation, File;
        bool HasParameters, HasDirectory;
        std::int32_t Show;
    };
    std::vector<OpenRequest> Opens;
    std::uintptr_t ShellExecuteResult = 42;

    std::uintptr_t ShellExecuteW(std::uintptr_t hwnd, const char16_t* operation, const char16_t* file,
                                 const char16_t* parameters, const char16_t* directory,
                                 std::int32_t show) override {
        auto text = [](const char16_t* p) { return p ? std::u16string(p) : std::u16string(); };
        Opens.push_back(
            {hwnd, text(operation), text(file), parameters != nullptr, directory != nullptr, show});
        return ShellExecuteResult;
    }

    // Requests through the desktop shell: operation and file.
    std::vector<std::pair<std::u16string, std::u16string>> DesktopOpens;
    std::vector<std::int32_t> DesktopShows;
    bool DesktopSucceeds = true;

    // The exit code the started copy ends with, and the processes waited for.
    std::uint32_t CopyExitCode = 0;
    std::vector<std::uintptr_t> Waited;
    bool WaitForProcessExit(std::uintptr_t process, std::uint32_t& exitCode) override {
        Waited.push_back(process);
        exitCode = CopyExitCode;
        return process == StartedCopy;
    }
    static constexpr std::uintptr_t StartedCopy = 0x77;

    bool ShellExecuteFromDesktop(const char16_t* operation, const char16_t* file,
                                 std::int32_t show) override {
        DesktopOpens.emplace_back(operation, file);
        DesktopShows.push_back(show);
        return DesktopSucceeds;
    }
};

} // namespace tarnwick::testing
