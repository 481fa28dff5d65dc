#include "TestSupport.h"

#include "editor/AdjustTimeCode.h"
#include "editor/EditorTextBuffer.h"
#include "editor/SubtitleEditorController.h"
#include "editor/TextTools.h"
#include "model/MQTimeUtility.h"

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;

TEST(TextTools, WholeTextTransformations) {
    struct Case {
        const char* name;
        QString (*tool)(const QString&);
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {"bilingual", TextTools::convertToBilingual, "A\n\nB\nC", "A\u23CEB\nC"},
        {"bilingual even", TextTools::convertToBilingual, " A \r\nB\nC\nD", "A\u23CEB\nC\u23CED"},
        {"bilingual empty", TextTools::convertToBilingual, "", ""},
        {"punctuation", TextTools::convertPunctuationToReturn, "Hello\uFF0Cworld\u3002",
         "Hello\nworld\n"},
        {"punctuation before code", TextTools::convertPunctuationToReturn,
         "[00:00:01.00]Hi, there,[00:00:02.00]", "[00:00:01.00]Hi\n there[00:00:02.00]\n"},
        {"timecode brackets", TextTools::convertTimeCodeFormat, "(01;02;03;04)a", "[01:02:03.04]a"},
        {"timecode bare", TextTools::convertTimeCodeFormat, "00:00:01,05 x 00.00.02.06",
         "[00:00:01.05] x [00:00:02.06]"},
        {"timecode slashes", TextTools::convertTimeCodeFormat, "a//b", "a\u23CEb"},
        {"remove empty", TextTools::removeEmptyLinesFromString, "a\n\n  \nb\r\n", "a\nb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.tool(QString::fromUtf8(c.input)), QString::fromUtf8(c.output)) << c.name;
    }
}

TEST(TextTools, CutOddAndEvenLines) {
    const QString five = QStringLiteral("1\n2\n\n3\n4\n5");
    const auto odd = TextTools::cutLines(five, true);
    EXPECT_EQ(odd.cut, QStringLiteral("1\n3\n5\n"));
    EXPECT_EQ(odd.kept, QStringLiteral("2\n4\n"));
    const auto even = TextTools::cutLines(five, false);
    EXPECT_EQ(even.cut, QStringLiteral("2\n4\n"));
    EXPECT_EQ(even.kept, QStringLiteral("1\n3\n5\n"));

    MemoryTextBuffer buffer;
    SubtitleEditorController editor(buffer);
    buffer.replaceCharacters({0, 0}, five);
    buffer.setSelectedRange({0, 0});
    EXPECT_EQ(editor.cut1Lines(), QStringLiteral("1\n3\n5\n"));
    EXPECT_EQ(buffer.text(), QStringLiteral("2\n4\n"));
    EXPECT_EQ(buffer.selectedRange(), (TextRange{0, 4}));
}

TEST(TextTools, ReplaceAndConsolidate) {
    QStringList ten, nine;
    for (int i = 0; i < 10; ++i) {
        ten << QString::number(i);
        if (i < 9) {
            nine << QString::number(i);
        }
    }
    EXPECT_EQ(TextTools::lineQuantityMismatch(ten.join(u'\n'), nine.join(u'\n')),
              QStringLiteral("The line quantity of oringal 10 is not the same as replace text 9"));
    EXPECT_FALSE(TextTools::lineQuantityMismatch(QStringLiteral("a\n\nb"), QStringLiteral("x\ny")));
    EXPECT_EQ(TextTools::getReplaceText(QStringLiteral(" x \n\ny\n")), QStringLiteral("x\ny"));
    EXPECT_EQ(TextTools::getConsolidateText(QStringLiteral("X\nY"), QStringLiteral("x\ny")),
              QStringLiteral("X\nx\nY\ny"));
}

TEST(TextTools, PasteTextKeepsTimes) {
    const QString selected = QStringLiteral("[00:00:01.00]old one[00:00:02.00]\n"
                                            "untimed\n"
                                            "[00:00:03.00]old two[00:00:04.00]\n"
                                            "[00:00:05.00]old three[00:00:06.00]");
    EXPECT_EQ(TextTools::pasteTextOnly(selected, QStringLiteral("new one\nnew two")),
              QStringLiteral("[00:00:01.00]new one[00:00:02.00]\nuntimed\n"
                             "[00:00:03.00]new two[00:00:04.00]\n"
                             "[00:00:05.00]old three[00:00:06.00]\n"));
}

TEST(TextTools, PasteTimeCodesKeepsTexts) {
    const QString codes =
        QStringLiteral("[00:00:01.00]x[00:00:02.00]\n[00:00:03.00]y[00:00:04.00]");
    EXPECT_EQ(TextTools::pasteTimeCodeOnly(QStringLiteral("A[00:00:09.00]\nB\nC"), codes),
              QStringLiteral("[00:00:01.00]A[00:00:02.00]\n[00:00:03.00]B[00:00:04.00]\nC\n"));
    // An unpaired In code still ends its line.
    EXPECT_EQ(TextTools::pasteTimeCodeOnly(QStringLiteral("A\nB"), QStringLiteral("[00:00:01.00]")),
              QStringLiteral("[00:00:01.00]A\nB\n"));
}

TEST(Shift, MovesEveryCodeAndClampsAtZero) {
    ScopedFrameRate rate(30);
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    const MediaTime second = tu.getCMTimeWithFrame(30);
    EXPECT_EQ(
        TextTools::shiftTimecodes(QStringLiteral("[00:00:59.29]a[00:01:00.000]"), second, true),
        QStringLiteral("[00:01:00.29]a[00:01:01.00]"));
    EXPECT_EQ(
        TextTools::shiftTimecodes(QStringLiteral("[00:00:00.10]a[00:00:02.00]"), second, false),
        QStringLiteral("[00:00:00.00]a[00:00:01.00]"));

    MemoryTextBuffer buffer;
    SubtitleEditorController editor(buffer);
    buffer.replaceCharacters({0, 0}, QStringLiteral("[00:00:01.00]a[00:00:02.00]\n"
                                                    "[00:00:03.00]b[00:00:04.00]"));
    // Only the codes inside the selection move.
    buffer.setSelectedRange({28, 27});
    editor.adjustTimeStringInSelectionWithTimeIncreament(second, true);
    EXPECT_EQ(buffer.text(), QStringLiteral("[00:00:01.00]a[00:00:02.00]\n"
                                            "[00:00:04.00]b[00:00:05.00]"));
    EXPECT_EQ(buffer.selectedRange(), (TextRange{28, 27}));
}

TEST(ShiftDialogState, ValidationAndCarry) {
    AdjustTimeCodeState state;
    state.reset(25);
    EXPECT_EQ(state.summary(), QStringLiteral("Shift all time codes backward 00:00:00.00"));
    EXPECT_TRUE(state.acceptText(AdjustTimeCodeState::Frames, QStringLiteral("25")));
    EXPECT_EQ(state.value(AdjustTimeCodeState::Frames), 0);
    EXPECT_EQ(state.value(AdjustTimeCodeState::Seconds), 1);
    struct Refused {
        AdjustTimeCodeState::Field field;
        const char* text;
    };
    for (const Refused& r :
         {Refused{AdjustTimeCodeState::Hours, "0"}, Refused{AdjustTimeCodeState::Hours, "11"},
          Refused{AdjustTimeCodeState::Minutes, "61"}, Refused{AdjustTimeCodeState::Frames, "26"},
          Refused{AdjustTimeCodeState::Seconds, "1.5"},
          Refused{AdjustTimeCodeState::Seconds, "x"}}) {
        EXPECT_FALSE(state.acceptText(r.field, QString::fromUtf8(r.text))) << r.text;
    }
    EXPECT_EQ(state.value(AdjustTimeCodeState::Hours), 0); // the stepper may still hold 0
    state.setValue(AdjustTimeCodeState::Seconds, 59);
    state.setValue(AdjustTimeCodeState::Frames, 25);
    EXPECT_EQ(state.value(AdjustTimeCodeState::Seconds), 0);
    EXPECT_EQ(state.value(AdjustTimeCodeState::Minutes), 1);
    state.setRow(1);
    EXPECT_TRUE(state.isForward());
    EXPECT_EQ(state.summary(), QStringLiteral("Shift all time codes forward 00:01:00.00"));
    EXPECT_EQ(state.offset(), MediaTime(1500 * 1000, 25000));
}
