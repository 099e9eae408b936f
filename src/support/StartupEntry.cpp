#include "core/PlatformConstants.h"
#include "support/RegistryKey.h"
#include "support/SupportUtils.h"

namespace tarnwick {

namespace {

std::u16string_view TrimControls(std::u16string_view text) {
    while (!text.empty() && text.front() <= u' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() <= u' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

void SetStartupEntry(IRegistryPlatform& Registry, std::u16string_view Name, std::u16string_view Command,
                     const TStartupEntryOptions& Options) {
    const RegKey root = Options.AllUsers ? HKeyLocalMachine : HKeyCurrentUser;
    std::u16string path = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    if (Options.RunOnce) {
        path += u"Once";
    }
    if (Options.Remove) {
        if (auto key = TRegistryKey::Open(Registry, root, path, KEY_ALL_ACCESS)) {
            key->DeleteValue(Name);
        }
        return;
    }
    auto key = TRegistryKey::Create(Registry, root, path, KEY_ALL_ACCESS);
    if (!key) {
        return;
    }
    if (!Options.Force) {
        // The untrimmed command is compared, so a command with blanks around it is written every time.
        if (const auto stored = key->ReadString(Name); stored && *stored == Command) {
            return;
        }
    }
    key->WriteString(Name, TrimControls(Command));
}

} // namespace tarnwick
