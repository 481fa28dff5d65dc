#include "TestSupport.h"

#include "editor/SubtitleTextModel.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"

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

namespace {

// Records the add and delete notifications the model posts.
struct ListNotifications {
    struct Entry {
        QString name;
        SubtitleLinePtr line;
        qlonglong index;
    };
    std::vector<Entry> entries;
    ObserverGuard add, remove;

    ListNotifications() {
        auto record = [this](const Notification& n) {
            entries.push_back({n.name, n.object.value<SubtitleLinePtr>(),
                               n.userInfo.value(QStringLiteral("index")).toLongLong()});
        };
        NotificationCenter& center = NotificationCenter::defaultCenter();
        add = ObserverGuard(center.addObserver(kAddSubtitleLineToWaveFormNotification, record));
        remove =
            ObserverGuard(center.addObserver(kDeleteSubtitleLineFromWaveFormNotification, record));
    }
    int count(const QString& name) const {
        return int(std::count_if(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return e.name == name; }));
    }
};

void expectInStep(const SubtitleTextModel& model) {
    const QStringList lines = model.text().split(u'\n');
    ASSERT_EQ(qsizetype(model.getAllSubtitles().size()), lines.size());
    ASSERT_EQ(model.lineCount(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto expected = model.parseText(lines[i]);
        const auto& actual = model.getAllSubtitles()[i];
        EXPECT_EQ(actual->text(), expected->text()) << i;
        EXPECT_DOUBLE_EQ(actual->startTime(), expected->startTime()) << i;
        EXPECT_DOUBLE_EQ(actual->endTime(), expected->endTime()) << i;
        EXPECT_EQ(model.lineText(i), lines[i]) << i;
    }
}

const QString kThreeLines =
    QStringLiteral("[00:00:01.00]One[00:00:02.00]\n[00:00:03.00]Two words[00:00:04.00]\nThree");

} // namespace

TEST(EditPath, TypingInsideALineKeepsItsRecord) {
    SubtitleTextModel model;
    model.setString(kThreeLines);
    const auto second = model.getAllSubtitles()[1];
    const QString id = second->subtitleLineId;
    ListNotifications posted;
    const qsizetype inWords = model.lineStart(1) + 13 + 3;
    const EditOutcome outcome = model.applyEdit(inWords, 0, QStringLiteral("X"));
    EXPECT_FALSE(outcome.structural);
    EXPECT_EQ(model.getAllSubtitles()[1], second);
    EXPECT_EQ(second->subtitleLineId, id);
    EXPECT_EQ(second->text(), QStringLiteral("TwoX words"));
    EXPECT_TRUE(posted.entries.empty());
    // Retyping the end code moves the end of the same record.
    const qsizetype endFrames = model.lineEnd(1) - 3;
    model.applyEdit(endFrames, 2, QStringLiteral("15"));
    EXPECT_EQ(model.getAllSubtitles()[1], second);
    EXPECT_DOUBLE_EQ(second->endTime(), MQTimeUtility::roundedTimeInteval(4.5));
    expectInStep(model);
}

TEST(EditPath, ReturnMidLinePostsOneDeleteAndTwoAdds) {
    SubtitleTextModel model;
    model.setString(kThreeLines);
    const auto second = model.getAllSubtitles()[1];
    ListNotifications posted;
    model.applyEdit(model.lineStart(1) + 16, 0, QStringLiteral("\n"));
    ASSERT_EQ(posted.entries.size(), 3u);
    EXPECT_EQ(posted.entries[0].name, kDeleteSubtitleLineFromWaveFormNotification);
    EXPECT_EQ(posted.entries[0].line, second);
    EXPECT_EQ(posted.entries[0].index, 1);
    EXPECT_EQ(posted.entries[1].name, kAddSubtitleLineToWaveFormNotification);
    EXPECT_EQ(posted.entries[1].index, 1);
    EXPECT_EQ(posted.entries[2].index, 2);
    EXPECT_EQ(posted.entries[1].line->text(), QStringLiteral("Two"));
    EXPECT_EQ(posted.entries[2].line->text(), QStringLiteral(" words"));
    EXPECT_DOUBLE_EQ(posted.entries[2].line->endTime(), 4);
    expectInStep(model);
}

TEST(EditPath, MultiLineEditsAndTheEndOfTheText) {
    struct Case {
        const char* name;
        qsizetype position, removed;
        const char* inserted;
        int deletes, adds;
    };
    const Case cases[] = {
        {"join two lines", 29, 1, "", 2, 1},
        {"type at the very end", kThreeLines.size(), 0, "!", 1, 1},
        {"paste three lines", 0, 0, "a\nb\nc", 1, 3},
        {"delete everything", 0, kThreeLines.size(), "", 3, 1},
        {"replace across lines", 20, 30, "x\ny", 2, 2},
    };
    for (const Case& c : cases) {
        SubtitleTextModel model;
        model.setString(kThreeLines);
        ListNotifications posted;
        const EditOutcome outcome =
            model.applyEdit(c.position, c.removed, QString::fromUtf8(c.inserted));
        EXPECT_TRUE(outcome.structural) << c.name;
        EXPECT_EQ(posted.count(kDeleteSubtitleLineFromWaveFormNotification), c.deletes) << c.name;
        EXPECT_EQ(posted.count(kAddSubtitleLineToWaveFormNotification), c.adds) << c.name;
        expectInStep(model);
    }
}

TEST(EditPath, SetStringNormalisesAndKeepsEmptyLines) {
    SubtitleTextModel model;
    EXPECT_EQ(model.getAllSubtitles().size(), 1u);
    model.setString(QStringLiteral("a\tb\r\nc\u2028\n"));
    EXPECT_EQ(model.text(), QStringLiteral("ab\nc\n\n"));
    EXPECT_EQ(model.getAllSubtitles().size(), 4u);
    expectInStep(model);
}

TEST(LookUps, RangesAndNeighbours) {
    SubtitleTextModel model;
    model.setString(kThreeLines);
    const auto& lines = model.getAllSubtitles();
    EXPECT_EQ(model.getSubtitleLineWithRange(0), lines[0]);
    EXPECT_EQ(model.getSubtitleLineWithRange(29), lines[0]); // the "\n" ends line 0
    EXPECT_EQ(model.getSubtitleLineWithRange(30), lines[1]);
    EXPECT_EQ(model.getSubtitleLineWithRange(model.text().size()), lines[2]);
    EXPECT_EQ(model.getSubtitleLineWithRange(model.text().size() + 1), nullptr);
    EXPECT_EQ(model.getRangeWithSubtitleLine(lines[1]), (TextRange{43, 9}));
    EXPECT_EQ(model.findTimeCodeRangeOfSubtitleLine(lines[1], true), (TextRange{30, 13}));
    EXPECT_EQ(model.findTimeCodeRangeOfSubtitleLine(lines[1], false), (TextRange{52, 13}));
    EXPECT_EQ(model.findTimeCodeRangeOfSubtitleLine(lines[2], false).length, 0);
    EXPECT_TRUE(model.isStartTimeCodeInRange({30, 13}));
    EXPECT_FALSE(model.isStartTimeCodeInRange({31, 13}));
    EXPECT_TRUE(model.isEndTimeCodeInRange({52, 13}));
    EXPECT_EQ(model.previousSubtitleLineForLine(lines[0]), nullptr);
    EXPECT_EQ(model.nextSubtitleLineForLine(lines[1]), lines[2]);
    EXPECT_EQ(model.nextSubtitleLineForLine(lines[2]), nullptr);
}

TEST(LookUps, TimesForThePlayerAndTheWaveform) {
    ScopedFrameRate rate(25);
    SubtitleTextModel model;
    model.setString(QStringLiteral("[00:00:01.00]A[00:00:02.00]\n[00:00:03.00]B\n"
                                   "[00:00:05.00]C[00:00:06.00]"));
    const auto& lines = model.getAllSubtitles();
    const int32_t scale = MQTimeUtility::sharedInstance().timescale();
    auto at = [&](double s) { return MediaTime::fromSeconds(s, scale); };
    EXPECT_EQ(model.getCurrentSubtitle(at(1)), lines[0]);
    EXPECT_EQ(model.getCurrentSubtitle(at(2)), nullptr);
    EXPECT_EQ(model.getCurrentSubtitle(at(4)), lines[1]); // only a start: open-ended
    EXPECT_EQ(model.getNextSubtitleLineAtTime(at(0.5)), lines[0]);
    EXPECT_EQ(model.getNextSubtitleLineAtTime(at(2.5)), lines[1]);
    EXPECT_EQ(model.getNextSubtitleLineAtTime(at(7)), lines[1]);
    const auto visible = model.subtitleForStartTimeAndEndTime(1.5, 5.5);
    ASSERT_EQ(visible.size(), 2u);
    EXPECT_EQ(visible[0], lines[0]);
    EXPECT_EQ(visible[1], lines[2]);
}

TEST(LookUps, OwnRateTimeStringDoesNotCarry) {
    SubtitleTextModel model;
    model.setFps(25);
    EXPECT_EQ(model.rawTimeStringFromTimeInteval(0.99), QStringLiteral("00:00:00.25"));
    EXPECT_EQ(model.rawTimeStringFromTimeInteval(3661.5), QStringLiteral("01:01:01.13"));
}
