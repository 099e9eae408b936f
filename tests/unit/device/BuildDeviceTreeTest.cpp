#include "device/PhysicalDevice.h"

#include <gtest/gtest.h>

#include <random>

#include "core/Text.h"
#include "device/DeviceInformationKt.h"
#include "diag/PerformanceUnit.h"

namespace tarnwick {
namespace {

std::unique_ptr<TPhysicalDevice> Record(std::u16string name, std::u16string parent) {
    auto device = std::make_unique<TPhysicalDevice>();
    TDeviceRecordWriter writer(*device);
    writer.SetIdentity(1, 1, 0, std::move(name));
    writer.SetText(TDeviceText::ParentDevicePnPName, parent);
    return device;
}

TPhysicalDeviceList List(std::initializer_list<std::pair<const char16_t*, const char16_t*>> records) {
    TPhysicalDeviceList list;
    for (const auto& [name, parent] : records) {
        list.Add(Record(name, parent));
    }
    return list;
}

TPhysicalDevice& Named(TPhysicalDeviceList& list, std::u16string_view name) {
    for (const auto& d : list) {
        if (d->PnPName() == name) {
            return *d;
        }
    }
    throw std::runtime_error("no such record");
}

// The linking rule, transcribed pair by pair.
void ReferenceBuildDeviceTree(TPhysicalDeviceList& devices) {
    for (const auto& a : devices) {
        for (const auto& d : devices) {
            if (d->PnPName() != a->ParentDevicePnPName() || SameTextAscii(d->PnPName(), a->PnPName()) ||
                d->HasChild(*a)) {
                continue;
            }
            d->DeviceChilds().Add(a->GetCopy());
            // Reach the parent link through a fresh tree step on a one-record list would be circular;
            // the reference records it on the side instead.
            a->SetBusType(static_cast<std::uint32_t>(&d - &*devices.begin()) + 1);
        }
    }
}

// A tree as text: names with their copied children, depth first, and each record's parent.
std::string Shape(const TPhysicalDevice& device) {
    std::string text = ToUtf8(device.PnPName()) + "(";
    for (const auto& child : device.DeviceChilds()) {
        text += Shape(*child);
    }
    return text + ")";
}

TEST(BuildDeviceTree, ParentsBeforeChildrenHoldShallowCopies) {
    auto list = List({{u"A", u""}, {u"B", u"A"}, {u"C", u"B"}});
    BuildDeviceTree(list);
    EXPECT_EQ(Shape(list[0]), "A(B())");
    EXPECT_EQ(Shape(list[1]), "B(C())");
    EXPECT_EQ(list[1].ParentDevice(), &list[0]);
    EXPECT_EQ(list[2].ParentDevice(), &list[1]);
    EXPECT_EQ(list[0].ParentDevice(), nullptr);
    EXPECT_EQ(list[0].DeviceChilds()[0].ParentDevice(), nullptr); // the copy was taken before the link
}

TEST(BuildDeviceTree, ChildrenBeforeParentsHoldDeepCopies) {
    auto list = List({{u"C", u"B"}, {u"B", u"A"}, {u"A", u""}});
    BuildDeviceTree(list);
    EXPECT_EQ(Shape(Named(list, u"B")), "B(C())");
    EXPECT_EQ(Shape(Named(list, u"A")), "A(B(C()))");
}

TEST(BuildDeviceTree, ParentNameMustMatchExactlyAndSecondRunAddsNothing) {
    auto list = List({{u"PCI\\ROOT", u""}, {u"PCI\\NIC", u"pci\\root"}, {u"PCI\\DISK", u"PCI\\ROOT"}});
    BuildDeviceTree(list);
    BuildDeviceTree(list);
    EXPECT_EQ(Shape(list[0]), "PCI\\ROOT(PCI\\DISK())");
    EXPECT_EQ(list[1].ParentDevice(), nullptr);
}

TEST(BuildDeviceTree, EmptyParentNameLinksUnderARecordWithEmptyName) {
    auto list = List({{u"", u""}, {u"X", u""}});
    BuildDeviceTree(list);
    EXPECT_EQ(Shape(list[0]), "(X())");
    EXPECT_EQ(list[1].ParentDevice(), &list[0]);
}

TEST(BuildDeviceTree, MeasuresItself) {
    FinalizeDeviceInformationKt();
    auto list = List({{u"A", u""}});
    BuildDeviceTree(list);
    ASSERT_NE(PerformanceRackman().FindMeasurement(u"BuildDeviceTree"), nullptr);
    EXPECT_EQ(PerformanceRackman().FindMeasurement(u"BuildDeviceTree")->CallCount(), 1);
    FinalizeDeviceInformationKt();
}

// Random forests of a few hundred nodes in random order, with names that collide ignoring case,
// duplicate names and records whose parent is missing: the tree step gives exactly the links and copies
// of the pairwise rule.
TEST(BuildDeviceTree, MatchesThePairwiseRuleOnRandomTrees) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 20; ++round) {
        const int count = 100 + static_cast<int>(random() % 300);
        std::vector<std::pair<std::u16string, std::u16string>> records;
        for (int i = 0; i < count; ++i) {
            std::u16string name = u"DEV\\" + FromUtf8(std::to_string(i % (count - 5)));
            if (random() % 10 == 0) {
                name = u"dev\\" + name.substr(4); // same name ignoring case
            }
            std::u16string parent;
            if (i > 0 && random() % 8 != 0) {
                parent = u"DEV\\" + FromUtf8(std::to_string(random() % i));
            } else if (random() % 2 == 0) {
                parent = u"DEV\\missing";
            }
            records.emplace_back(name, parent);
        }
        std::shuffle(records.begin(), records.end(), random);
        TPhysicalDeviceList fast, reference;
        for (const auto& [name, parent] : records) {
            fast.Add(Record(name, parent));
            reference.Add(Record(name, parent));
        }
        BuildDeviceTree(fast);
        BuildDeviceTree(fast); // a second run adds nothing
        ReferenceBuildDeviceTree(reference);
        for (std::size_t i = 0; i < fast.Count(); ++i) {
            ASSERT_EQ(Shape(fast[i]), Shape(reference[i])) << "round " << round << " record " << i;
            const std::size_t expectedParent = reference[i].BusType();
            const TPhysicalDevice* parent = fast[i].ParentDevice();
            if (expectedParent == 0) {
                EXPECT_EQ(parent, nullptr);
            } else {
                EXPECT_EQ(parent, &fast[expectedParent - 1]) << "round " << round << " record " << i;
            }
        }
    }
    FinalizeDeviceInformationKt();
}

} // namespace
} // namespace tarnwick
