#include "netcore/NetAdapterWalk.h"

#include <array>
#include <cstring>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/DeviceErrorText.h"
#include "device/DeviceInformationKt.h"
#include "diag/PerformanceUnit.h"
#include "netcore/NetCore.h"

namespace tarnwick {

bool TNetAdapter::Shown() const noexcept {
    return !StatusKnown() || (Record->ulStatus() & DN_NO_SHOW_IN_DM) == 0;
}

bool TNetAdapter::Disableable() const noexcept {
    return !StatusKnown() || (Record->ulStatus() & DN_DISABLEABLE) != 0;
}

bool TNetAdapter::On() const noexcept {
    return StatusKnown() && Record->ulProblemNumber() == 0;
}

TNodeState ReadNodeState(IDevicePlatform& platform, DEVINST DevInst) {
    TNodeState state;
    state.Result = platform.CM_Get_DevNode_Status(&state.Status, &state.Problem, DevInst, 0);
    if (state.Result != CR_SUCCESS) {
        // Whatever the call left in its outputs means nothing without success.
        state.Status = 0;
        state.Problem = 0;
    } else if ((state.Status & DN_HAS_PROBLEM) == 0) {
        state.Problem = 0; // the problem number counts only with DN_HAS_PROBLEM (Microsoft docs)
    }
    return state;
}

std::u16string AdapterDisplayName(const TPhysicalDevice& Adapter) {
    if (!Adapter.VendorName().empty()) {
        return std::u16string(Adapter.VendorName()); // the friendly name
    }
    return std::u16string(Adapter.DEVICEDESC().empty() ? Adapter.PnPName() : Adapter.DEVICEDESC());
}

namespace {

// A text property up to its first NUL; empty when absent or unreadable. Names and hardware IDs fit the
// buffer; a longer one is cut, which the keep list's patterns and the shown name can live with.
std::u16string_view ReadText(IDevicePlatform& platform, HDEVINFO set, const SP_DEVINFO_DATA& data,
                             std::uint32_t property, std::array<char16_t, 512>& buffer) {
    std::uint32_t required = 0;
    if (!platform.SetupDiGetDeviceRegistryPropertyW(set, data, property, nullptr,
                                                    reinterpret_cast<std::uint8_t*>(buffer.data()),
                                                    static_cast<std::uint32_t>(sizeof buffer), &required)) {
        return {};
    }
    return ViewUpToNul(buffer.data(), std::min<std::size_t>(required / sizeof(char16_t), buffer.size()));
}

} // namespace

TNetAdapterWalk::TNetAdapterWalk(IDevicePlatform& platform) : FPlatform(platform) {
    TMeasurementScope whole(PerformanceRackman(), DeviceLabels::GetDevicesByGuid);
    {
        TMeasurementScope measure(PerformanceRackman(), DeviceLabels::SetupDiGetClassDevs);
        FSet = platform.SetupDiGetClassDevsW(&NetAdapterClassGuid, nullptr, 0, DIGCF_PRESENT);
    }
    if (FSet == InvalidHandleValue) {
        const std::uint32_t code = platform.GetLastError();
        throw EAdapterListFailed(u"The network adapters cannot be listed: " + DeviceErrorText(platform, code),
                                 code);
    }
    TDeviceTexts texts;
    std::array<char16_t, 512> buffer;
    std::array<char16_t, 260> id;
    for (std::uint32_t index = 0;; ++index) {
        TNetAdapter adapter;
        adapter.Data.cbSize = sizeof adapter.Data;
        std::uint32_t status = 0;
        std::uint32_t problem = 0;
        {
            TMeasurementScope step(PerformanceRackman(), DeviceLabels::SetupDiEnumDeviceInfo);
            if (!platform.SetupDiEnumDeviceInfo(FSet, index, adapter.Data)) {
                // The end of the list (ERROR_NO_MORE_ITEMS), or a set that cannot be read on: either way
                // no further member can be reached.
                break;
            }
            step.Next(DeviceLabels::CM_Get_DevNode_Status);
            const TNodeState state = ReadNodeState(platform, adapter.Data.DevInst);
            adapter.StatusResult = state.Result;
            status = state.Status;
            problem = state.Problem;
        }
        if (adapter.StatusResult == CR_NO_SUCH_DEVINST) {
            continue; // gone since the set was made
        }
        TMeasurementScope step(PerformanceRackman(), DeviceLabels::GetDeviceRegistryProperty);
        texts.Clear();
        id[0] = u'\0';
        if (platform.SetupDiGetDeviceInstanceIdW(FSet, adapter.Data, id.data(),
                                                 static_cast<std::uint32_t>(id.size()), nullptr)) {
            texts.Set(TDeviceText::PnPName, ViewUpToNul(id.data(), id.size()));
        } else {
            adapter.ReadError =
                u"Its instance ID cannot be read: " + DeviceErrorText(platform, platform.GetLastError());
        }
        texts.Set(TDeviceText::VendorName,
                  ReadText(platform, FSet, adapter.Data, SPDRP_FRIENDLYNAME, buffer));
        texts.Set(TDeviceText::DEVICEDESC, ReadText(platform, FSet, adapter.Data, SPDRP_DEVICEDESC, buffer));
        texts.Set(TDeviceText::HARDWAREID, ReadText(platform, FSet, adapter.Data, SPDRP_HARDWAREID, buffer));
        if (!adapter.StatusKnown()) {
            const std::u16string reason = u"Its state cannot be read: " + ConfigRetText(adapter.StatusResult);
            adapter.ReadError = adapter.ReadError.empty() ? reason : adapter.ReadError + u"; " + reason;
        }
        adapter.Record = std::make_unique<TPhysicalDevice>();
        TDeviceRecordWriter record(*adapter.Record);
        record.SetIdentity(adapter.Data.DevInst, status, problem);
        record.SetCapabilities(0);
        record.SetTexts(texts);
        FAdapters.push_back(std::move(adapter));
    }
}

TNetAdapterWalk::~TNetAdapterWalk() {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::SetupDiDestroyDeviceInfoList);
    FPlatform.SetupDiDestroyDeviceInfoList(FSet);
}

} // namespace tarnwick
