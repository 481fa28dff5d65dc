#include "model/Regex.h"

#include <gtest/gtest.h>

TEST(Regex, EnumeratesEditorTimecodes) {
    static const Regex timecode(QStringLiteral("\\[[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2,3}\\]"));
    ASSERT_TRUE(timecode.isValid());
    const QString text =
        QStringLiteral("[00:00:01.00]Hello[00:00:02.15]\n[00:00:03]x[00:00:04.123]");
    const auto matches = timecode.allMatches(text);
    ASSERT_EQ(matches.size(), 3);
    EXPECT_EQ(matches[0].start(), 0);
    EXPECT_EQ(matches[0].captured(), QStringLiteral("[00:00:01.00]"));
    EXPECT_EQ(matches[1].start(), 18);
    EXPECT_EQ(matches[2].captured(), QStringLiteral("[00:00:04.123]"));
    EXPECT_EQ(timecode.countMatches(text), 3);
}

TEST(Regex, OffsetsAreUtf16) {
    static const Regex word(QStringLiteral("b+"));
    const auto m = word.firstMatch(QStringLiteral("\U0001F600\u23CEbb"));
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->start(), 3);
    EXPECT_EQ(m->length(), 2);
}

TEST(Regex, GroupsAndTemplates) {
    static const Regex re(QStringLiteral("(\\d+):(\\d+)"));
    const auto m = re.firstMatch(QStringLiteral("at 12:34 and 5:6"), 4);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->captured(1), QStringLiteral("2"));
    EXPECT_EQ(m->captured(2), QStringLiteral("34"));
    EXPECT_EQ(m->captured(7), QString());
    EXPECT_EQ(re.replaceAll(QStringLiteral("12:34 and 5:6"), QStringLiteral("$2.$1")),
              QStringLiteral("34.12 and 6.5"));
}

TEST(Regex, WholeMatchFlagsAndBadPatterns) {
    static const Regex anchored(QStringLiteral("^\\d\\d:\\d\\d$"));
    EXPECT_TRUE(anchored.matches(QStringLiteral("12:34")));
    EXPECT_FALSE(anchored.matches(QStringLiteral(" 12:34")));
    static const Regex caseless(QStringLiteral("webvtt"), Regex::CaseInsensitive);
    EXPECT_TRUE(caseless.contains(QStringLiteral("x WEBVTT y")));
    const Regex broken(QStringLiteral("(unclosed"));
    EXPECT_FALSE(broken.isValid());
    EXPECT_FALSE(broken.contains(QStringLiteral("(unclosed")));
    EXPECT_EQ(broken.replaceAll(QStringLiteral("abc"), QStringLiteral("x")), QStringLiteral("abc"));
}

TEST(Regex, NestedUseOfOnePatternIsSafe) {
    static const Regex digits(QStringLiteral("\\d"));
    int inner = 0;
    digits.forEachMatch(QStringLiteral("1 2"), [&](const Regex::Match&) {
        inner += digits.countMatches(QStringLiteral("345"));
        return true;
    });
    EXPECT_EQ(inner, 6);
}
