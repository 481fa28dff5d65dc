#include "TestSupport.h"

#include "editor/views/MQAdjustTimeCodeWindowController.h"
#include "editor/views/MQPasteInWindowController.h"
#include "editor/views/SubtitleTextView.h"
#include "platform/NotificationCenter.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;

namespace {

void expectInStep(SubtitleTextView& view) {
    const QStringList lines = view.toPlainText().split(u'\n');
    EXPECT_EQ(view.model().text(), view.toPlainText());
    ASSERT_EQ(qsizetype(view.model().getAllSubtitles().size()), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto expected = view.model().parseText(lines[i]);
        EXPECT_EQ(view.model().getAllSubtitles()[i]->text(), expected->text()) << i;
        EXPECT_DOUBLE_EQ(view.model().getAllSubtitles()[i]->startTime(), expected->startTime());
    }
}

struct Counter {
    int adds = 0, deletes = 0;
    ObserverGuard a, d;
    Counter() {
        auto& center = NotificationCenter::defaultCenter();
        a = ObserverGuard(center.addObserver(kAddSubtitleLineToWaveFormNotification,
                                             [this](const Notification&) { ++adds; }));
        d = ObserverGuard(center.addObserver(kDeleteSubtitleLineFromWaveFormNotification,
                                             [this](const Notification&) { ++deletes; }));
    }
};

} // namespace

TEST(SubtitleTextView, TypingReturnUndoAndPasteKeepTheListInStep) {
    SubtitleTextView view;
    view.setString(QStringLiteral("[00:00:01.00]Hello[00:00:02.00]\nsecond"));
    const auto first = view.model().getAllSubtitles()[0];
    const QString id = first->subtitleLineId;
    view.setSelectedRange({16, 0});
    Counter counter;
    QTest::keyClicks(&view, QStringLiteral("XY"));
    EXPECT_EQ(view.model().getAllSubtitles()[0], first);
    EXPECT_EQ(first->subtitleLineId, id);
    EXPECT_EQ(first->text(), QStringLiteral("HelXYlo"));
    EXPECT_EQ(counter.adds + counter.deletes, 0);

    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(counter.deletes, 1);
    EXPECT_EQ(counter.adds, 2);
    expectInStep(view);

    view.undo();
    expectInStep(view);
    view.undo();
    expectInStep(view);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("[00:00:01.00]Hello[00:00:02.00]\nsecond"));
    view.redo();
    expectInStep(view);

    QMimeData data;
    data.setText(QStringLiteral("a\tb\r\nc"));
    view.setSelectedRange({view.model().text().size(), 0});
    QApplication::clipboard()->setMimeData(new QMimeData);
    QApplication::clipboard()->setText(data.text());
    view.paste();
    EXPECT_TRUE(view.toPlainText().endsWith(QStringLiteral("ab\nc")));
    expectInStep(view);
}

TEST(SubtitleTextView, ErrorStylesFollowChecksAndEdits) {
    SubtitleTextView view;
    view.setString(QStringLiteral("[00:00:01.00]A[00:00:03.00]\n[00:00:02.00]B[00:00:04.00]"));
    EXPECT_TRUE(view.editor().error());
    EXPECT_EQ(view.styleOfLine(0), 0);
    EXPECT_EQ(view.styleOfLine(1), SubtitleTextView::StartError);
    // Retyping B's start to 3 s clears its mark on that keystroke.
    view.setSelectedRange({28 + 8, 1});
    QTest::keyClicks(&view, QStringLiteral("3"));
    EXPECT_EQ(view.styleOfLine(1), 0);
    EXPECT_FALSE(view.model().getAllSubtitles()[1]->isStartTimeError);
}

TEST(SubtitleTextView, KeysReachTheEditor) {
    ScopedFrameRate rate(30);
    SubtitleTextView view;
    view.setString(QStringLiteral("[00:00:01.00]a[00:00:02.00]"));
    view.setSelectedRange({3, 0});
    QTest::keyClick(&view, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("a"));
    QTest::keyClick(&view, Qt::Key_Tab);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("a"));
    EXPECT_EQ(
        SubtitleTextView::keyString(QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier)),
        QStringLiteral("Ctrl+K"));
}

TEST(ShiftDialog, ValidationCarryAndResult) {
    struct Recorder : MQAdjustTimeCodeWindowControllerDelegate {
        void adjustTimeCodeWithTime(const MediaTime& offset, bool forward) override {
            got = offset;
            isForward = forward;
        }
        MediaTime got;
        bool isForward = false;
    } recorder;
    MQAdjustTimeCodeWindowController dialog;
    dialog.setDelegate(&recorder);
    dialog.reset(25);
    EXPECT_EQ(dialog.resultLabel()->text(),
              QStringLiteral("Shift all time codes backward 00:00:00.00"));
    using F = AdjustTimeCodeState;
    QLineEdit* hours = dialog.field(F::Hours);
    hours->selectAll();
    QTest::keyClicks(hours, QStringLiteral("0"));
    EXPECT_EQ(hours->text(), QStringLiteral("0"));
    QTest::keyClicks(hours, QStringLiteral("5")); // "05" is accepted
    EXPECT_EQ(dialog.stepper(F::Hours)->value(), 5);
    QTest::keyClicks(hours, QStringLiteral("1")); // "51" is out of range
    EXPECT_EQ(hours->text(), QStringLiteral("5"));
    dialog.stepper(F::Hours)->setValue(0);

    dialog.stepper(F::Seconds)->setValue(59);
    QLineEdit* frames = dialog.field(F::Frames);
    frames->selectAll();
    QTest::keyClicks(frames, QStringLiteral("25"));
    EXPECT_EQ(frames->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog.field(F::Seconds)->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog.stepper(F::Minutes)->value(), 1);
    dialog.forwardButton()->click();
    EXPECT_EQ(dialog.resultLabel()->text(),
              QStringLiteral("Shift all time codes forward 00:01:00.00"));
    dialog.okButton()->click();
    EXPECT_TRUE(recorder.isForward);
    EXPECT_EQ(recorder.got, MediaTime(1500 * 1000, 25000));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(PasteInWindows, LineCountGuardsTheDoneButton) {
    MQReplaceTextWindowController replace;
    QStringList ten;
    for (int i = 0; i < 10; ++i) {
        ten << QStringLiteral("line %1").arg(i);
    }
    replace.setOriginalText(ten.join(u'\n'));
    replace.textArea()->setPlainText(ten.mid(0, 9).join(u'\n'));
    EXPECT_EQ(replace.warningLabel()->text(),
              QStringLiteral("The line quantity of oringal 10 is not the same as replace text 9"));
    EXPECT_FALSE(replace.doneButton()->isEnabled());
    EXPECT_EQ(replace.doneButton()->text(), QStringLiteral("Replace"));
    replace.textArea()->setPlainText(ten.join(QStringLiteral("\n\n")));
    EXPECT_TRUE(replace.warningLabel()->text().isEmpty());
    EXPECT_TRUE(replace.doneButton()->isEnabled());

    MQConsolidateTextWindowController consolidate;
    EXPECT_EQ(consolidate.windowTitle(), QStringLiteral("Consolidate Text"));
    EXPECT_EQ(consolidate.doneButton()->text(), QStringLiteral("Consolidate"));
    consolidate.setOriginalText(QStringLiteral("X\nY"));
    consolidate.textArea()->setPlainText(QStringLiteral("x\ny"));
    EXPECT_EQ(consolidate.getConsolidateText(), QStringLiteral("X\nx\nY\ny"));
    consolidate.doneButton()->click();
    EXPECT_EQ(consolidate.result(), 1);
}
