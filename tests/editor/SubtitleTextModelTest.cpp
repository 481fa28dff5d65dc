#include "TestSupport.h"

#include "editor/SubtitleTextModel.h"

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;

TEST(ParseText, StartEndAndText) {
    ScopedFrameRate rate(25);
    SubtitleTextModel model;
    struct Case {
        const char* line;
        double start, end;
        const char* text;
    };
    const Case cases[] = {
        {"[00:00:01.00]Hello[00:00:02.12]", 1, double(float(2.48 * 1000) / 1000.0f), "Hello"},
        {"Hello[00:00:02.12]", -1, double(float(2.48 * 1000) / 1000.0f), "Hello"},
        {"[00:00:01.00]", 1, -1, ""},
        {"[00:00:01.000]Hi", -1, -1, "[00:00:01.000]Hi"},
        {"[00:00:01.00]a[00:00:01.10]b[00:00:02.00]", 1, 2, "a[00:00:01.10]b"},
        {"", -1, -1, ""},
    };
    for (const Case& c : cases) {
        const auto line = model.parseText(QString::fromUtf8(c.line));
        EXPECT_DOUBLE_EQ(line->startTime(), c.start) << c.line;
        EXPECT_DOUBLE_EQ(line->endTime(), c.end) << c.line;
        EXPECT_EQ(line->text(), QString::fromUtf8(c.text)) << c.line;
    }
}

TEST(ParseText, NumeratorsUseTheFcpxFrameDuration) {
    ScopedFrameRate rate(29.97);
    SubtitleTextModel model;
    model.setFcpxFrameDuration(1001, 30000);
    const auto line = model.parseText(QStringLiteral("[00:01:00.02]x[00:10:00.00]"));
    EXPECT_EQ(line->startNumerator, 1801800);
    EXPECT_EQ(line->endNumerator, 17999982);
}

TEST(SubtitleTextModel, OneRecordPerTextLine) {
    SubtitleTextModel model;
    model.setString(QStringLiteral("a\r\n\r\n[00:00:01.00]b\tc[00:00:02.00]\n"));
    EXPECT_EQ(model.text(), QStringLiteral("a\n\n[00:00:01.00]bc[00:00:02.00]\n"));
    ASSERT_EQ(model.getAllSubtitles().size(), 4u);
    EXPECT_EQ(model.getAllSubtitles()[2]->text(), QStringLiteral("bc"));
    model.setString(QStringLiteral("a\nb  "));
    EXPECT_EQ(model.generateSubtitleLines().back()->text(), QStringLiteral("b"));
}
