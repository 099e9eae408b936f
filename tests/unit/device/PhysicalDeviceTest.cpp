#include "device/PhysicalDevice.h"

#include <gtest/gtest.h>

#include "core/PlatformConstants.h"

namespace tarnwick {
namespace {

std::unique_ptr<TPhysicalDevice> Record(std::u16string name, std::u16string parent = u"",
                                        std::uint32_t problem = 0) {
    auto device = std::make_unique<TPhysicalDevice>();
    TDeviceRecordWriter writer(*device);
    writer.SetIdentity(1, DN_STARTED, problem, std::move(name));
    writer.SetText(TDeviceText::ParentDevicePnPName, parent);
    return device;
}

TEST(TPhysicalDevice, StartsEmpty) {
    TPhysicalDevice device;
    EXPECT_EQ(device.DeviceInst(), 0u);
    EXPECT_TRUE(device.PnPName().empty());
    EXPECT_FALSE(device.DN_REMOVABLE_Flag());
    EXPECT_EQ(device.ParentDevice(), nullptr);
    EXPECT_TRUE(device.DeviceChilds().Empty());
    EXPECT_TRUE(device.DevicePathList().empty());
}

TEST(TPhysicalDevice, CapabilitiesSetTheNineFlagsFromStatusProblemAndCapabilities) {
    TPhysicalDevice device;
    TDeviceRecordWriter writer(device);
    writer.SetIdentity(3, DN_REMOVABLE | DN_DISABLEABLE | DN_WILL_BE_REMOVED | DN_HAS_PROBLEM | DN_LIAR,
                       CM_PROB_DEVICE_NOT_THERE, u"X");
    writer.SetCapabilities(CM_DEVCAP_SURPRISEREMOVALOK | CM_DEVCAP_DOCKDEVICE | CM_DEVCAP_REMOVABLE);
    EXPECT_TRUE(device.DN_REMOVABLE_Flag() && device.DN_DISABLEABLE_Flag() &&
                device.DN_WILL_BE_REMOVED_Flag() && device.DN_HAS_PROBLEM_Flag() && device.DN_LIAR_Flag());
    EXPECT_TRUE(device.CM_DEVCAP_SURPRISEREMOVALOK_Flag() && device.CM_DEVCAP_DOCKDEVICE_Flag() &&
                device.CM_DEVCAP_REMOVABLE_Flag() && device.CM_PROB_DEVICE_NOT_THERE_Flag());
    writer.SetIdentity(3, DN_STARTED, 0, u"X");
    writer.SetCapabilities(0);
    EXPECT_FALSE(device.DN_REMOVABLE_Flag() || device.DN_HAS_PROBLEM_Flag() ||
                 device.CM_DEVCAP_REMOVABLE_Flag() || device.CM_PROB_DEVICE_NOT_THERE_Flag());
}

TEST(TPhysicalDevice, GetCopyIsDeepAndSharesTheParent) {
    auto root = Record(u"ROOT");
    auto child = Record(u"CHILD", u"ROOT");
    child->DeviceChilds().Add(Record(u"GRANDCHILD", u"CHILD"));
    child->DevicePathList().push_back(u"\\\\?\\path");
    root->DeviceChilds().Add(std::move(child));
    TPhysicalDeviceList list;
    list.Add(std::move(root));

    auto copy = list[0].GetCopy();
    ASSERT_EQ(copy->DeviceChilds().Count(), 1u);
    ASSERT_EQ(copy->DeviceChilds()[0].DeviceChilds().Count(), 1u);
    EXPECT_NE(&copy->DeviceChilds()[0], &list[0].DeviceChilds()[0]);
    EXPECT_EQ(copy->DeviceChilds()[0].DevicePathList(), list[0].DeviceChilds()[0].DevicePathList());
    EXPECT_EQ(copy->DeviceChilds()[0].DeviceChilds()[0].PnPName(), u"GRANDCHILD");
    copy->DeviceChilds()[0].DevicePathList().clear();
    EXPECT_EQ(list[0].DeviceChilds()[0].DevicePathList().size(), 1u);
    copy.reset();
    EXPECT_EQ(list[0].DeviceChilds()[0].DeviceChilds()[0].PnPName(), u"GRANDCHILD");

    TPhysicalDeviceList linked;
    linked.Add(Record(u"P"));
    linked.Add(Record(u"C", u"P"));
    BuildDeviceTree(linked);
    auto childCopy = linked[1].GetCopy();
    EXPECT_EQ(childCopy->ParentDevice(), &linked[0]);
}

TEST(TPhysicalDevice, CopiesAreValuesWhoseTextsChangeAlone) {
    TPhysicalDeviceList list;
    list.Add(Record(u"ROOT"));
    list[0].DeviceChilds().Add(Record(u"CHILD", u"ROOT"));

    TPhysicalDeviceList copied = list; // records, and their children, copied by the compiler
    TPhysicalDevice assigned;
    assigned = list[0];
    TDeviceRecordWriter(copied[0]).SetText(TDeviceText::VendorName, u"Copy");
    TDeviceRecordWriter(list[0].DeviceChilds()[0]).SetText(TDeviceText::ParentDevicePnPName, u"ELSEWHERE");

    EXPECT_EQ(list[0].VendorName(), u"");
    EXPECT_EQ(assigned.VendorName(), u"");
    EXPECT_EQ(copied[0].VendorName(), u"Copy");
    EXPECT_EQ(copied[0].DeviceChilds()[0].ParentDevicePnPName(), u"ROOT");
    EXPECT_EQ(assigned.DeviceChilds()[0].ParentDevicePnPName(), u"ROOT");
    EXPECT_NE(&copied[0].DeviceChilds()[0], &list[0].DeviceChilds()[0]);
}

// The texts share one buffer: writing one again, shorter or longer, leaves its neighbours whole.
TEST(TDeviceTexts, TextsWrittenAgainKeepTheirNeighbours) {
    TDeviceTexts texts;
    texts.Set(TDeviceText::PnPName, u"PCI\\VEN_8086");
    texts.Set(TDeviceText::VendorName, u"Intel");
    texts.Set(TDeviceText::DEVICEDESC, u"Ethernet");
    texts.Set(TDeviceText::VendorName, u"LAN");
    EXPECT_EQ(texts.Get(TDeviceText::VendorName), u"LAN");
    EXPECT_EQ(texts.Get(TDeviceText::PnPName), u"PCI\\VEN_8086");
    texts.Set(TDeviceText::VendorName, u"Intel(R) Ethernet Connection");
    texts.Set(TDeviceText::PnPName, u"");
    EXPECT_EQ(texts.Get(TDeviceText::PnPName), u"");
    EXPECT_EQ(texts.Get(TDeviceText::VendorName), u"Intel(R) Ethernet Connection");
    EXPECT_EQ(texts.Get(TDeviceText::DEVICEDESC), u"Ethernet");
    EXPECT_EQ(texts.Get(TDeviceText::MountPoints), u"");
    texts.Clear();
    EXPECT_EQ(texts.Get(TDeviceText::DEVICEDESC), u"");
}

TEST(TPhysicalDevice, HasChildAndIndexOfChildIgnoreAsciiCase) {
    auto device = Record(u"USB\\ROOT_HUB\\1");
    EXPECT_TRUE(device->HasChild(*device));
    EXPECT_EQ(device->IndexOfChild(u"x"), -1);
    auto child = Record(u"USB\\VID_1&PID_2\\3");
    child->DeviceChilds().Add(Record(u"USBSTOR\\DISK\\4"));
    device->DeviceChilds().Add(Record(u"USB\\OTHER\\1"));
    device->DeviceChilds().Add(std::move(child));
    EXPECT_EQ(device->IndexOfChild(u"usb\\vid_1&pid_2\\3"), 1);
    EXPECT_TRUE(device->HasChild(*Record(u"usbstor\\disk\\4")));
    EXPECT_FALSE(device->HasChild(*Record(u"USBSTOR\\DISK\\5")));
    EXPECT_EQ(device->IndexOfChild(u"USBSTOR\\DISK\\4"), -1); // not a direct child
}

TEST(TPhysicalDevice, IsRemovedOrDisabled) {
    const std::pair<std::uint32_t, bool> cases[] = {{0, false}, {28, false}, {10, false},
                                                    {22, true}, {24, true},  {47, true}};
    for (const auto& [problem, expected] : cases) {
        EXPECT_EQ(Record(u"X", u"", problem)->IsRemovedOrDisabled(), expected) << "problem " << problem;
    }
}

} // namespace
} // namespace tarnwick
