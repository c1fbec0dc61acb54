#include "core/FocusBlockBuilder.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

constexpr Date kTen = 1767603600; // 2026-01-05 10:00 in Berlin; the zone plays no part here

Segment seg(ContextKind kind, double fromSecond, double toSecond,
            std::optional<std::string> project = {}, std::optional<std::string> task = {})
{
    Segment s;
    s.kind = kind;
    s.start = kTen + fromSecond;
    s.end = kTen + toSecond;
    s.project = std::move(project);
    s.focusTaskID = std::move(task);
    return s;
}

Segment deep(double from, double to, std::optional<std::string> project = {},
             std::optional<std::string> task = {})
{
    return seg(ContextKind::deep, from, to, std::move(project), std::move(task));
}

const FocusBlockBuilder kBuilder{180, 300};

struct Span
{
    double start;
    double end;
    double deep;
    double interruption;
    bool operator==(const Span&) const = default;
};

std::vector<Span> spans(const std::vector<FocusBlock>& blocks)
{
    std::vector<Span> result;
    for (const auto& b : blocks) {
        result.push_back({b.start - kTen, b.end - kTen, b.deepSeconds, b.interruptionSeconds});
    }
    return result;
}

} // namespace

TEST(FocusBlockBuilder, GraceDecidesWhereBlocksEnd)
{
    using K = ContextKind;
    struct Case
    {
        const char* name;
        std::vector<Segment> segments;
        std::vector<Span> blocks;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"short shallow break is absorbed",
         {deep(0, 1200), seg(K::shallow, 1200, 1320), deep(1320, 2400)}, {{0, 2400, 2280, 120}}},
        {"long shallow break splits",
         {deep(0, 1200), seg(K::shallow, 1200, 1440), deep(1440, 2400)},
         {{0, 1200, 1200, 0}, {1440, 2400, 960, 0}}},
        {"unrecorded hole of exactly the grace",
         {deep(0, 1200), deep(1380, 2400)}, {{0, 2400, 2220, 180}}},
        {"unrecorded hole one second over",
         {deep(0, 1200), deep(1381, 2400)}, {{0, 1200, 1200, 0}, {1381, 2400, 1019, 0}}},
        {"short breaks add up",
         {deep(0, 1200), seg(K::shallow, 1200, 1300), seg(K::distraction, 1300, 1390),
          deep(1390, 2400)}, {{0, 1200, 1200, 0}, {1390, 2400, 1010, 0}}},
        {"idle interrupts like shallow",
         {deep(0, 1200), seg(K::idle, 1200, 1381), deep(1381, 2400)},
         {{0, 1200, 1200, 0}, {1381, 2400, 1019, 0}}},
        {"activity before the first deep segment changes nothing",
         {seg(K::distraction, -4000, -10), deep(0, 600)}, {{0, 600, 600, 0}}},
        {"short blocks are not listed",
         {deep(0, 299), seg(K::shallow, 299, 1000), deep(1000, 1300)}, {{1000, 1300, 300, 0}}},
        {"empty day", {}, {}}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(spans(kBuilder.blocks(c.segments)), c.blocks) << c.name;
    }
}

TEST(FocusBlockBuilder, ProjectsAndFocusTask)
{
    const auto blocks = kBuilder.blocks({deep(0, 600, "A"), deep(600, 700, {}, "T1"),
                                         deep(700, 1400, {}, "T2"), deep(1400, 1500, "A")});
    ASSERT_EQ(blocks.size(), 1u);
    const FocusBlock& block = blocks[0];
    EXPECT_EQ(block.byProject, (std::map<std::string, double>{{"", 800}, {"A", 700}}));
    EXPECT_EQ(block.primaryProject(), std::nullopt);
    EXPECT_EQ(block.focusTaskID, "T1");
    EXPECT_EQ(block.id(), static_cast<std::int64_t>(kTen));

    FocusBlock tie = block;
    tie.byProject = {{"B", 700}, {"A", 700}, {"", 10}};
    EXPECT_EQ(tie.primaryProject(), "A");
    tie.start = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(tie.id(), 0);
}

TEST(FocusBlockBuilder, LiveBlockIsTheLastWithinTheGrace)
{
    const std::vector<Segment> shortRun = {deep(0, 299)};
    EXPECT_TRUE(kBuilder.blocks(shortRun).empty());
    EXPECT_EQ(kBuilder.liveBlock(shortRun, kTen + 299 + 180)->deepSeconds, 299);
    EXPECT_FALSE(kBuilder.liveBlock(shortRun, kTen + 299 + 181));
    const std::vector<Segment> longRun = {deep(0, 7200), seg(ContextKind::shallow, 7200, 9000)};
    EXPECT_FALSE(kBuilder.liveBlock(longRun, kTen + 9000));
    EXPECT_FALSE(kBuilder.liveBlock({}, kTen));
}

TEST(SessionPhase, ThresholdsAndProgress)
{
    const std::vector<std::pair<double, SessionPhase>> phases = {
        {0, SessionPhase::idle},
        {-5, SessionPhase::idle},
        {std::numeric_limits<double>::quiet_NaN(), SessionPhase::idle},
        {0.5, SessionPhase::warmingUp},
        {899, SessionPhase::warmingUp},
        {900, SessionPhase::buildingFocus},
        {3599, SessionPhase::deepWork},
        {3600, SessionPhase::peakFocus}};
    for (const auto& [seconds, phase] : phases) {
        EXPECT_EQ(SessionPhases::from(seconds), phase) << seconds;
    }
    const std::vector<std::pair<double, double>> progress = {{450, 0.5},  {900, 0},  {1350, 0.5},
                                                             {2700, 0.5}, {5000, 1}, {0, 0}};
    for (const auto& [seconds, expected] : progress) {
        EXPECT_DOUBLE_EQ(SessionPhases::progress(seconds), expected) << seconds;
    }
    for (const SessionPhase phase : SessionPhases::allCases) {
        EXPECT_EQ(SessionPhases::fromRawValue(rawValue(phase)), phase);
    }
    EXPECT_EQ(SessionPhases::fromRawValue("DeepWork"), std::nullopt);
    EXPECT_EQ(label(SessionPhase::buildingFocus), "Building Focus");
}
