#pragma once
// The shell as the program's tests see it: the notification area's icons with their picture and tip, the
// balloons shown, a taskbar in its default state, and the taskbar-list object; every command goes into
// the desktop's timeline as well.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ShellPlatform.h"
#include "tests/unit/app/HeadlessDesktop.h"

namespace tarnwick::test {

class TTimelineShell : public IShellPlatform {
public:
    struct TIconState {
        HICON_T Icon;
        std::u16string Tip;
        std::uint32_t CallbackMessage;
    };
    struct TBalloon {
        std::u16string Text, Title;
        std::uint32_t TimeoutMs, Flags;
    };

    explicit TTimelineShell(std::vector<std::string>& Timeline) : FTimeline(Timeline) {}

    std::map<std::pair<HWND_T, std::uint32_t>, TIconState> Icons;
    std::vector<TBalloon> Balloons;
    HRESULT_T CreateResult = 0;
    // Windows Vista and later take version 4 (Shell_NotifyIcon's documentation); Windows XP did not.
    bool TakesVersion4 = true;
    // The shell is not ready for this many adds yet (at logon).
    int RefusedAdds = 0;
    std::map<std::pair<HWND_T, std::uint32_t>, std::uint32_t> Versions;
    int FocusReturns = 0;

    bool Shell_NotifyIconW(std::uint32_t dwMessage, const NOTIFYICONDATAW& lpData) override {
        static const char* const names[] = {"NIM_ADD", "NIM_MODIFY", "NIM_DELETE", "NIM_SETFOCUS",
                                            "NIM_SETVERSION"};
        const auto key = std::make_pair(lpData.hWnd, lpData.uID);
        const bool balloon = dwMessage == 1 && (lpData.uFlags & 0x10);
        FTimeline.push_back(std::string(dwMessage < 5 ? names[dwMessage] : "NIM_?") +
                            (balloon ? "(balloon)" : "") + "(" +
                            std::to_string(dwMessage == 4 ? lpData.uTimeout : lpData.hIcon) + ")");
        switch (dwMessage) {
        case 0:
            if (RefusedAdds > 0) {
                --RefusedAdds;
                return false;
            }
            return Icons.emplace(key, TIconState{lpData.hIcon, lpData.szTip, lpData.uCallbackMessage}).second;
        case 1:
            if (!Icons.count(key)) {
                return false;
            }
            if (balloon) {
                Balloons.push_back({lpData.szInfo, lpData.szInfoTitle, lpData.uTimeout, lpData.dwInfoFlags});
            } else {
                Icons[key] = {lpData.hIcon, lpData.szTip, lpData.uCallbackMessage};
            }
            return true;
        case 2:
            Versions.erase(key);
            return Icons.erase(key) != 0;
        case 3:
            FocusReturns += Icons.count(key) ? 1 : 0;
            return Icons.count(key) != 0;
        case 4:
            if (!TakesVersion4 || !Icons.count(key)) {
                return false;
            }
            Versions[key] = lpData.uTimeout;
            return true;
        default:
            return false;
        }
    }
    std::uintptr_t SHAppBarMessage(std::uint32_t, APPBARDATA&) override { return 0; }
    HRESULT_T CoCreateTaskbarList(std::unique_ptr<ITaskbarListObject>& ppv) override {
        FTimeline.push_back("CoCreateTaskbarList");
        if (CreateResult >= 0) {
            ppv = std::make_unique<TList>(FTimeline);
        }
        return CreateResult;
    }

private:
    class TList : public ITaskbarListObject {
    public:
        explicit TList(std::vector<std::string>& Timeline) : FTimeline(Timeline) {}
        ~TList() override { FTimeline.push_back("TaskbarList.Release"); }
        HRESULT_T HrInit() override { return 0; }
        HRESULT_T DeleteTab(HWND_T hwnd) override {
            FTimeline.push_back("DeleteTab(" + std::to_string(hwnd) + ")");
            return 0;
        }

    private:
        std::vector<std::string>& FTimeline;
    };

    std::vector<std::string>& FTimeline;
};

} // namespace tarnwick::test
