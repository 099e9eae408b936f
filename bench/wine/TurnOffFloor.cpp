// The floor of a switch: the least a program can do to disable every network adapter on the same test
// double. The network class is enumerated once, and the class installer is called on each adapter in that
// set; nothing is read that the change does not need.

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const HDEVINFO set = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_NET, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return 1;
    }
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        SP_PROPCHANGE_PARAMS params{
            {sizeof(SP_CLASSINSTALL_HEADER), DIF_PROPERTYCHANGE}, DICS_DISABLE, DICS_FLAG_GLOBAL, 0};
        ::SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params);
        ::SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data);
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return 0;
}
