// Writes the description of the Windows it runs on to the file named by its first argument, one field a
// line, so that a test can run it under another Windows version that Wine reports for this program only.

#include <cstdio>
#include <string>

#include "core/Text.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionPlatform.h"
#include "support/GetWindowsTypeExUnit.h"
#include "support/SystemInformationKt.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    tarnwick::win32::TWin32SystemPlatform system;
    tarnwick::win32::TWin32VersionPlatform version;
    tarnwick::win32::TWin32RegistryPlatform registry;
    const tarnwick::TWindowsTypeEx d = tarnwick::GetWindowsTypeEx(system, version, registry);
    const bool is2000 = tarnwick::IsWindows2000(system, version, registry);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        return 3;
    }
    using tarnwick::ToUtf8;
    std::fprintf(out, "Full=%s\nProduct=%s\nKind=%s\nKindType=%d\nOSKind=%d\nOSVersion=%s\nOSBuild=%d\n",
                 ToUtf8(d.Full).c_str(), ToUtf8(d.Product).c_str(), ToUtf8(d.Kind.AsString).c_str(),
                 int(d.Kind.AsType), int(d.OSKind), ToUtf8(d.OSVersion.AsString).c_str(), int(d.OSBuild));
    std::fprintf(out, "ServicePack=%s\nServicePackVersion=%s\nServer=%d\nIsWindows2000=%d\n",
                 ToUtf8(d.ServicePack).c_str(), ToUtf8(d.ServicePackVersion.AsString).c_str(), int(d.Server),
                 int(is2000));
    std::fclose(out);
    return 0;
}
