#include "diag/DebugInfo.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(UnitDebugInfo, LineTablesGrowToTwiceTheirLengthPlusOne) {
    TUnitDebugInfo unit(u"Unit1", 0);
    std::vector<std::size_t> lengths;
    for (int line = 1; line <= 8; ++line) {
        unit.AddLine(line, 0x100u + line);
        lengths.push_back(unit.Addresses().size());
    }
    EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 3, 3, 7, 7, 7, 7, 15}));
    ASSERT_EQ(unit.AddressesCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(unit.Addresses()[i].Address, 0x101u + i);
        EXPECT_EQ(unit.Addresses()[i].Line, 1u + i);
    }
}

TEST(UnitDebugInfo, SettingTheCountResizesToExactlyThatWithZeroEntries) {
    TUnitDebugInfo unit(u"Unit1", 2);
    EXPECT_EQ(unit.Addresses().size(), 2u);
    unit.Addresses()[0] = {0x10, 5};
    unit.AddLine(7, 0x20); // grows to 5 entries, 3 used
    unit.SetAddressesCount(1);
    unit.SetAddressesCount(4);
    EXPECT_EQ(unit.AddressesCount(), 4);
    ASSERT_EQ(unit.Addresses().size(), 4u);
    EXPECT_EQ(unit.Addresses()[0].Address, 0x10u);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(unit.Addresses()[i].Address, 0u) << i;
        EXPECT_EQ(unit.Addresses()[i].Line, 0u) << i;
    }
}

TEST(RoutineDebugInfo, EndIsStartPlusLengthMinusOneIn32Bits) {
    EXPECT_EQ(TRoutineDebugInfo(u"A", 0x10, 0x30).EndAddress(), 0x3Fu);
    EXPECT_EQ(TRoutineDebugInfo(u"B", 0x10, 0).EndAddress(), 0x0Fu);
    EXPECT_EQ(TRoutineDebugInfo(u"C", 0, 0).EndAddress(), 0xFFFFFFFFu);
}

} // namespace
} // namespace tarnwick
