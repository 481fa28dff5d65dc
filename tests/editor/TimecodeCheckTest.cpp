#include "TestSupport.h"

#include "editor/EditorTextBuffer.h"
#include "editor/SubtitleEditorController.h"
#include "editor/TimecodeCheck.h"

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;

TEST(OrderCheck, MarksOnlyWhereTimeGoesBack) {
    struct Case {
        const char* text;
        std::vector<qsizetype> errorAt;
    };
    const Case cases[] = {
        // B's start is earlier than A's end.
        {"[00:00:01.00]A[00:00:03.00]\n[00:00:02.00]B[00:00:04.00]", {28}},
        // Equal consecutive codes are fine.
        {"[00:00:01.00]A[00:00:02.00]\n[00:00:02.00]B[00:00:03.00]", {}},
        // Three-digit frames are text; a code inside the text is text.
        {"[00:00:05.000]A\n[00:00:01.00]B[00:00:00.10]x[00:00:02.00]", {}},
        // An end code followed only by blanks still counts.
        {"[00:00:05.00]A[00:00:01.00]  ", {14}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const auto check = checkTimecodeOrder(QString::fromUtf8(c.text));
        std::vector<qsizetype> found;
        for (const auto& range : check.errorTimeCodeRanges) {
            found.push_back(range.location);
        }
        EXPECT_EQ(found, c.errorAt) << c.text;
        EXPECT_EQ(check.error, !c.errorAt.empty()) << c.text;
        EXPECT_EQ(check.errorTimeCodes.size(), qsizetype(c.errorAt.size()));
    }
}

TEST(LineCheck, StartAndEndErrors) {
    SubtitleTextModel model;
    model.setString(QStringLiteral("[00:00:01.00]A[00:00:03.00]\n[00:00:02.00]B[00:00:04.00]\n"
                                   "\n[00:00:05.00]C\n[00:00:05.00]D[00:00:05.00]\n"
                                   "[00:00:07.00]E[00:00:08.00]"));
    const auto& lines = model.getAllSubtitles();
    EXPECT_FALSE(checkErrorStartTimeCodeAtSubtitleLine(lines, 0));
    EXPECT_TRUE(checkErrorStartTimeCodeAtSubtitleLine(lines, 1));  // 2 < 3
    EXPECT_FALSE(checkErrorStartTimeCodeAtSubtitleLine(lines, 3)); // the empty line is skipped
    EXPECT_TRUE(checkErrorStartTimeCodeAtSubtitleLine(lines, 4));  // not later than lone start
    EXPECT_TRUE(checkErrorEndTimeCodeAtSubtitleLine(*lines[4]));   // end equals start
    EXPECT_FALSE(checkErrorStartTimeCodeAtSubtitleLine(lines, 5));
    EXPECT_FALSE(checkErrorEndTimeCodeAtSubtitleLine(*lines[5]));
    EXPECT_FALSE(checkErrorEndTimeCodeAtSubtitleLine(*lines[3])); // no end
}

TEST(AutoCorrect, MovesOverlapsAndLengthensShortLines) {
    ScopedFrameRate rate(25);
    MemoryTextBuffer buffer;
    SubtitleEditorController editor(buffer);
    buffer.replaceCharacters({0, 0}, QStringLiteral("[00:00:01.00]A[00:00:03.00]\n"
                                                    "[00:00:02.00]B[00:00:04.00]\n"
                                                    "[00:00:06.00]C[00:00:06.00]\n"
                                                    "untimed"));
    EXPECT_TRUE(editor.error());
    editor.autoCorrectErrorTimecode();
    EXPECT_EQ(buffer.text(), QStringLiteral("[00:00:01.00]A[00:00:03.00]\n"
                                            "[00:00:03.00]B[00:00:04.00]\n"
                                            "[00:00:06.00]C[00:00:06.13]\n"
                                            "untimed\n"));
    EXPECT_FALSE(editor.error());
    EXPECT_EQ(buffer.selectedRange(), (TextRange{0, 0}));
}

TEST(AutoCorrect, EmptyTextStaysEmpty) {
    MemoryTextBuffer buffer;
    SubtitleEditorController editor(buffer);
    EXPECT_FALSE(editor.error());
    EXPECT_EQ(autoCorrectedText({}), QString());
}

TEST(ErrorNavigation, EditsFlagLinesAndNextErrorWraps) {
    MemoryTextBuffer buffer;
    SubtitleEditorController editor(buffer);
    buffer.replaceCharacters({0, 0}, QStringLiteral("[00:00:01.00]A[00:00:03.00]\n"
                                                    "[00:00:02.00]B[00:00:04.00]\n"
                                                    "[00:00:09.00]C[00:00:08.00]"));
    // Only the lines touched by an edit are flagged; a whole-text edit touches every line.
    const auto& lines = buffer.model().getAllSubtitles();
    EXPECT_TRUE(lines[1]->isStartTimeError);
    EXPECT_TRUE(lines[2]->isEndTimeError);
    EXPECT_FALSE(lines[2]->isStartTimeError);
    editor.findNextErrorTimecode();
    EXPECT_EQ(buffer.selectedRange(), (TextRange{28, 13}));
    editor.findNextErrorTimecode();
    EXPECT_EQ(buffer.selectedRange(), (TextRange{70, 13}));
    editor.findNextErrorTimecode();
    EXPECT_EQ(buffer.selectedRange(), (TextRange{28, 13}));
    // A clean file after one with errors reports none.
    editor.replaceAllText(QStringLiteral("[00:00:01.00]A[00:00:02.00]"));
    EXPECT_FALSE(editor.error());
    EXPECT_TRUE(editor.errorTimeCodes().isEmpty());
}
