#include "core/Segment.h"

#include <gtest/gtest.h>

using namespace kestrove;

TEST(ContextKind, TextsAndLegacyCategories)
{
    EXPECT_EQ(ContextKinds::fromRawValue("deep"), ContextKind::deep);
    EXPECT_EQ(ContextKinds::fromRawValue("Deep"), std::nullopt);
    EXPECT_EQ(displayName(ContextKind::deep), "Deep work");
    EXPECT_EQ(adjective(ContextKind::deep), "deep-work");
    EXPECT_FALSE(isActive(ContextKind::idle));
    EXPECT_EQ(ContextKinds::fromLegacyCategory("deep_work", true), ContextKind::idle);
    EXPECT_EQ(ContextKinds::fromLegacyCategory("deep_work", false), ContextKind::deep);
    EXPECT_EQ(ContextKinds::fromLegacyCategory("DEEP_WORK", false), ContextKind::neutral);
    EXPECT_EQ(ContextKinds::fromLegacyCategory("", false), ContextKind::neutral);
    EXPECT_EQ(ContextKinds::fromLegacyCategory("shallow_work", false), ContextKind::shallow);
}

TEST(Segment, DurationHintAndKey)
{
    Segment s;
    s.start = 100;
    s.end = 90;
    s.appName = "Editor";
    EXPECT_EQ(s.duration(), 0);
    s.domain = "github.com";
    s.detectedProject = "";
    EXPECT_EQ(s.hintLabel(), "github.com");
    s.domain.clear();
    EXPECT_EQ(s.hintLabel(), "Editor");
    s.detectedProject = "kestrove";
    EXPECT_EQ(s.hintLabel(), "kestrove");

    Segment other = s;
    other.id = 7;
    other.appName = "Other";
    other.area = "Work";
    other.detectedProject = "x";
    other.keystrokes = 4;
    other.source = Segment::Source::legacy;
    other.end = 500;
    EXPECT_EQ(s.key(), other.key());
    EXPECT_NE(s, other);
    other.project = "Kestrove";
    EXPECT_NE(s.key(), other.key());
    EXPECT_EQ(Segment::sourceFromRawValue("legacy"), Segment::Source::legacy);
    EXPECT_EQ(Segment::sourceFromRawValue("Live"), std::nullopt);
}
