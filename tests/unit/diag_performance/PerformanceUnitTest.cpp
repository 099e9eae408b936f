#include "diag/PerformanceUnit.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/Errors.h"

namespace tarnwick {
namespace {

// A clock that advances by a fixed step on every reading, on a chosen thread.
class FakeCounter : public IPerformanceCounter {
public:
    std::int64_t now = 1000;
    std::int64_t step = 10;
    std::uint32_t thread = 7;
    std::int64_t QueryPerformanceCounter() override { return now += step; }
    std::int64_t QueryPerformanceFrequency() override { return 1000; } // one tick is a millisecond
    std::uint32_t GetCurrentThreadId() override { return thread; }
};

std::u16string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EGeneralError& e) {
        return e.Message();
    }
    return u"<no error>";
}

class PerformanceRackmanTest : public ::testing::Test {
protected:
    FakeCounter counter;
    TPerformanceRackman rackman{counter};
};

TEST_F(PerformanceRackmanTest, NestedStepsFormPathsAndAccumulate) {
    for (int i = 0; i < 3; ++i) {
        rackman.StartTime(u"A");
        rackman.StartTime(u"B");
        rackman.EndTime(u"B");
        rackman.EndTime(u"A");
    }
    ASSERT_EQ(rackman.Measurements().size(), 2u);
    const TMeasurement* a = rackman.FindMeasurement(u"A");
    const TMeasurement* b = rackman.FindMeasurement(u"a.b");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Path(), u"A.B");
    EXPECT_EQ(b->ParentMeasurement(), a);
    EXPECT_EQ(a->CallCount(), 3);
    EXPECT_EQ(b->CallCount(), 3);
    EXPECT_EQ(b->TotalTime(), 3 * 10);
    EXPECT_EQ(a->TotalTime(), 3 * 30);
    EXPECT_FALSE(a->InAction());
    EXPECT_EQ(a->LastStartTime(), 0);
    EXPECT_EQ(rackman.LastMeasurement(), nullptr);
}

TEST_F(PerformanceRackmanTest, SameLabelUnderAnotherParentIsAnotherMeasurement) {
    rackman.StartTime(u"B");
    rackman.EndTime(u"B");
    rackman.StartTime(u"A");
    rackman.StartTime(u"B");
    rackman.EndTime(u"B");
    rackman.EndTime(u"A");
    EXPECT_EQ(rackman.Measurements().size(), 3u);
    EXPECT_EQ(rackman.FindMeasurement(u"B")->CallCount(), 1);
    EXPECT_EQ(rackman.FindMeasurement(u"A.B")->CallCount(), 1);
}

TEST_F(PerformanceRackmanTest, MismatchedEndNamesGivenLabelFirstAndKeepsStepOpen) {
    rackman.StartTime(u"A");
    EXPECT_EQ(
        MessageOf([&] { rackman.EndTime(u"B"); }),
        u"PerformanceRackman.EndTime was called with the different MeasurementLabel (B)  from the previous "
        u"StartTime (A). Be sure that you use PerformanceRackman correctly.");
    rackman.EndTime(u"A");
    EXPECT_EQ(rackman.FindMeasurement(u"A")->CallCount(), 1);
}

TEST_F(PerformanceRackmanTest, EndWithoutOpenStep) {
    rackman.EndTime(u"A"); // no measuring thread yet: ignored
    EXPECT_FALSE(rackman.HasMeasurements());
    rackman.StartTime(u"A");
    rackman.EndTime(u"A");
    EXPECT_EQ(MessageOf([&] { rackman.EndTime(u"A"); }),
              u"Please call PerformanceRackman.StartTime before EndTime");
}

TEST_F(PerformanceRackmanTest, PathsIgnoreCaseButStoredLabelStays) {
    rackman.StartTime(u"A");
    rackman.EndTime(u"A");
    rackman.StartTime(u"a");
    EXPECT_EQ(rackman.Measurements().size(), 1u);
    EXPECT_NE(MessageOf([&] { rackman.EndTime(u"a"); }), u"<no error>");
    rackman.EndTime(u"A");
    EXPECT_EQ(rackman.FindMeasurement(u"A")->CallCount(), 2);
}

TEST_F(PerformanceRackmanTest, OtherThreadsAreIgnored) {
    rackman.StartTime(u"A");
    counter.thread = 8;
    rackman.StartTime(u"X");
    rackman.EndTime(u"Mismatch"); // would raise on the measuring thread
    counter.thread = 7;
    rackman.EndTime(u"A");
    EXPECT_EQ(rackman.Measurements().size(), 1u);
}

constexpr TMeasurementLabel LabelA{u"A"};
constexpr TMeasurementLabel LabelB{u"B"};
constexpr TMeasurementLabel LabelC{u"C"};
constexpr TMeasurementLabel LowerA{u"a"};

TEST_F(PerformanceRackmanTest, ConstantLabelsAndTextsReachTheSameMeasurements) {
    for (int i = 0; i < 2; ++i) {
        rackman.StartTime(LabelA);
        rackman.StartTime(u"B");
        rackman.EndTime(LabelB);
        rackman.StartTime(LabelB);
        rackman.EndTime(u"B");
        rackman.EndTime(LabelA);
    }
    ASSERT_EQ(rackman.Measurements().size(), 2u);
    EXPECT_EQ(rackman.FindMeasurement(u"A")->CallCount(), 2);
    EXPECT_EQ(rackman.FindMeasurement(u"A.B")->CallCount(), 4);

    // A path found ignoring case keeps its stored label, so ending under the other spelling is a mismatch.
    rackman.StartTime(LowerA);
    EXPECT_NE(MessageOf([&] { rackman.EndTime(LowerA); }), u"<no error>");
    rackman.EndTime(LabelA);
    EXPECT_EQ(rackman.FindMeasurement(u"A")->CallCount(), 3);
}

TEST_F(PerformanceRackmanTest, SwitchingStepsReadsTheCounterOnceForBoth) {
    rackman.StartTime(LabelA);          // 1010
    rackman.StartTime(LabelB);          // 1020
    rackman.SwitchTime(LabelB, LabelC); // 1030 ends B and starts C
    rackman.EndTime(LabelC);            // 1040
    rackman.EndTime(LabelA);            // 1050

    EXPECT_EQ(rackman.FindMeasurement(u"A.B")->TotalTime(), 10);
    EXPECT_EQ(rackman.FindMeasurement(u"A.C")->TotalTime(), 10);
    EXPECT_EQ(rackman.FindMeasurement(u"A.C")->ParentMeasurement(), rackman.FindMeasurement(u"A"));
    EXPECT_EQ(rackman.FindMeasurement(u"A")->TotalTime(), 40);

    rackman.StartTime(LabelA);
    EXPECT_EQ(
        MessageOf([&] { rackman.SwitchTime(LabelB, LabelC); }),
        u"PerformanceRackman.EndTime was called with the different MeasurementLabel (B)  from the previous "
        u"StartTime (A). Be sure that you use PerformanceRackman correctly.");
    EXPECT_EQ(rackman.LastMeasurement(), rackman.FindMeasurement(u"A")) << "the open step stays open";
}

TEST_F(PerformanceRackmanTest, RepeatingAStepCountsEveryPairAndAddsItsTime) {
    rackman.StartTime(LabelA);          // 1010
    rackman.StartTime(LabelB);          // 1020
    rackman.SwitchTime(LabelB, LabelB); // B again, ending the first pair
    counter.now += 100;                 // the second pair's work
    rackman.SwitchTime(LabelB, LabelB);
    rackman.SwitchTime(LabelB, LabelC); // 1130 ends the third pair and starts C
    rackman.EndTime(LabelC);            // 1140
    rackman.EndTime(LabelA);            // 1150

    const TMeasurement& b = *rackman.FindMeasurement(u"A.B");
    EXPECT_EQ(b.CallCount(), 3);
    EXPECT_EQ(b.TotalTime(), 110);
    EXPECT_FALSE(b.InAction());
    EXPECT_EQ(rackman.FindMeasurement(u"A.C")->TotalTime(), 10);
    EXPECT_EQ(rackman.FindMeasurement(u"A")->TotalTime(), 140);
}

TEST(TMeasurement, EndBeforeStartRaises) {
    FakeCounter counter;
    TMeasurement m(counter, nullptr, u"A");
    EXPECT_EQ(MessageOf([&] { m.EndMeasure(); }), u"StartMeasure should be called before EndMeasure!");
}

TEST_F(PerformanceRackmanTest, ReportLayout) {
    EXPECT_EQ(rackman.GetMeasurementsAsText(),
              u"Label name                              Call count  Average   Total     ");
    // Parent: 2 pairs of 50 ticks each (readings every 10 ticks); child: 2 pairs of 10.
    for (int i = 0; i < 2; ++i) {
        rackman.StartTime(u"Parent");
        counter.step = 20;
        rackman.StartTime(u"Child");
        counter.step = 10;
        rackman.EndTime(u"Child");
        counter.step = 20;
        rackman.EndTime(u"Parent");
        counter.step = 10;
    }
    rackman.StartTime(u"Open"); // never completed: average 0
    const std::u16string expected =
        u"Label name                              Call count  Average   Total     "
        u"\r\nParent                                  2           50.000    100.000    (80.000\?\?\?)"
        u"\r\n  Child                                 2           10.000    20.000    "
        u"\r\nOpen                                    0           0.000     0.000     ";
    EXPECT_EQ(rackman.GetMeasurementsAsText(), expected);
}

TEST(TSteadyPerformanceCounter, ThreadIdsAreNonZeroAndDistinct) {
    TSteadyPerformanceCounter counter;
    const std::uint32_t mine = counter.GetCurrentThreadId();
    std::uint32_t other = 0;
    std::thread([&] { other = counter.GetCurrentThreadId(); }).join();
    EXPECT_NE(mine, 0u);
    EXPECT_NE(other, 0u);
    EXPECT_NE(mine, other);
    EXPECT_EQ(mine, counter.GetCurrentThreadId());
}

} // namespace
} // namespace tarnwick
