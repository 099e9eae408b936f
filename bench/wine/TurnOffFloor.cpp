// The floor of a switch: the setup-API calls that disabling every visible network adapter takes, made
// bare on the same test double. The adapters are enumerated with their details, then each is found again
// among every present device and disabled through the class installer.

#include <windows.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD TextProperties[] = {SPDRP_FRIENDLYNAME, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, SPDRP_CLASSGUID,
                                    SPDRP_DEVICEDESC,   SPDRP_LOCATION_INFORMATION,        SPDRP_HARDWAREID};

// Walks a device set with the reads one enumeration makes per device; Visit gets each device's ID.
template <typename Visit> void Walk(const GUID* deviceClass, DWORD flags, Visit visit) {
    const HDEVINFO set = ::SetupDiGetClassDevsW(deviceClass, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        ULONG status = 0, problem = 0;
        ::CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0);
        if (status == 0 && problem == 0) {
            continue;
        }
        wchar_t id[260] = L"";
        ::SetupDiGetDeviceInstanceIdW(set, &data, id, 260, nullptr);
        BYTE buffer[1024];
        DWORD dword = 0;
        ::SetupDiGetDeviceRegistryPropertyW(set, &data, SPDRP_CAPABILITIES, nullptr,
                                            reinterpret_cast<BYTE*>(&dword), 4, nullptr);
        for (DWORD property : TextProperties) {
            ::SetupDiGetDeviceRegistryPropertyW(set, &data, property, nullptr, buffer, sizeof buffer,
                                                nullptr);
        }
        ::SetupDiGetDeviceRegistryPropertyW(set, &data, SPDRP_UI_NUMBER, nullptr,
                                            reinterpret_cast<BYTE*>(&dword), 4, nullptr);
        DEVINST parent = 0;
        ::CM_Get_Parent(&parent, data.DevInst, 0);
        wchar_t parentId[255];
        ::CM_Get_Device_ID_ExW(parent, parentId, 255, 0, nullptr);
        visit(set, data, std::wstring(id), status);
    }
    ::SetupDiDestroyDeviceInfoList(set);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::vector<std::wstring> adapters;
    Walk(&GUID_DEVCLASS_NET, DIGCF_PRESENT,
         [&](HDEVINFO, SP_DEVINFO_DATA&, const std::wstring& id, ULONG status) {
             if ((status & DN_NO_SHOW_IN_DM) == 0) {
                 adapters.push_back(id);
             }
         });
    for (const std::wstring& adapter : adapters) {
        Walk(nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT,
             [&](HDEVINFO set, SP_DEVINFO_DATA& data, const std::wstring& id, ULONG) {
                 if (::lstrcmpiW(id.c_str(), adapter.c_str()) != 0) {
                     return;
                 }
                 SP_PROPCHANGE_PARAMS params{
                     {sizeof(SP_CLASSINSTALL_HEADER), DIF_PROPERTYCHANGE}, DICS_DISABLE, DICS_FLAG_GLOBAL, 0};
                 ::SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params);
                 ::SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data);
                 SP_DEVINSTALL_PARAMS_W installParams{};
                 installParams.cbSize = sizeof installParams;
                 ::SetupDiGetDeviceInstallParamsW(set, &data, &installParams);
             });
    }
    return 0;
}
