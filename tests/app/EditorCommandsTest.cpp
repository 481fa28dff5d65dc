// The window's editor: its delegate, keys from the other views, and the editor commands of the
// menus and the buttons, checked on the editor text afterwards.
#include "AppFixture.h"

#include "editor/MoviePlayerControl.h"
#include "editor/views/MQPasteInWindowController.h"
#include "platform/DefaultsStore.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace {

class FakePlayer : public MoviePlayerControl {
public:
    bool isPlaying() const override { return playing; }
    void play() override { playing = true; }
    void stopRepeatPlaySubtitle() override { playing = false; }
    void fastForward() override {}
    void rewind() override {}
    void speedForward() override {}
    void speedBackward() override {}
    void setCurrentTime(double seconds) override { now = seconds; }
    SubtitleLinePtr repeatSubtitle() const override { return nullptr; }
    MediaTime currentTime() const override {
        return MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(now);
    }
    MediaTime duration() const override {
        return MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(600);
    }
    bool hasMovie() const override { return true; }

    bool playing = false;
    double now = 0;
};

QAction* menuItem(MQMainWindowController& w, const QString& menuTitle, const QString& title) {
    for (QAction* top : w.menuBar()->actions()) {
        if (top->text() != menuTitle) {
            continue;
        }
        for (QAction* action : top->menu()->actions()) {
            if (action->text() == title) {
                return action;
            }
        }
    }
    return nullptr;
}

// The line list matches the text line for line.
void expectInStep(MQMainWindowController& w) {
    const QString text = w.textView()->toPlainText();
    const SubtitleLineList& lines = w.subtitleTextModel().getAllSubtitles();
    const QStringList textLines = text.split(u'\n');
    ASSERT_EQ(qsizetype(lines.size()), textLines.size()) << qPrintable(text);
    for (qsizetype i = 0; i < textLines.size(); ++i) {
        EXPECT_EQ(lines[size_t(i)]->getSubtitleLineString(), textLines[i]) << i;
    }
}

} // namespace

class EditorCommandsTest : public AppTest {
protected:
    // The window holding `text`, saved, with nothing asked yet.
    MQMainWindowController& windowWith(const QString& text) {
        MQMainWindowController& w = window();
        w.replaceTextInTextView(text);
        if (w.marqueeFilePath().isEmpty()) {
            prompts_.answerPanel({path(QStringLiteral("p.mqp"))});
        }
        EXPECT_TRUE(w.saveMarqueeDoc());
        prompts_.clear();
        return w;
    }
    QString editorText() { return window().textView()->toPlainText(); }
    QToolButton* button(const char* name) {
        return window().findChild<QToolButton*>(QString::fromLatin1(name));
    }
    QStringList messages() const {
        QStringList out;
        for (const Prompt& p : prompts_.asked()) {
            out << p.message;
        }
        return out;
    }
};

// ---------------------------------------------------------------------------------------------
// The editor view and its delegate

TEST_F(EditorCommandsTest, TypingInTheEditorKeepsTheListInStepAndMarksTheProjectUnsaved) {
    MQMainWindowController& w = windowWith(QStringLiteral("[00:00:01.00]Hello[00:00:02.00]\n"));
    EXPECT_TRUE(w.isSaved());
    const SubtitleLinePtr line = w.subtitleTextModel().getAllSubtitles()[0];
    w.textView()->setSelectedRange({16, 0});
    QTest::keyClicks(w.textView(), QStringLiteral("XY"));
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.00]HelXYlo[00:00:02.00]\n"));
    EXPECT_EQ(w.subtitleTextModel().getAllSubtitles()[0], line);
    EXPECT_EQ(line->text(), QStringLiteral("HelXYlo"));
    EXPECT_FALSE(w.isSaved());
    expectInStep(w);
}

TEST_F(EditorCommandsTest, MovingTheCaretToATimedLineAsksThePlayerToGoThere) {
    MQMainWindowController& w =
        windowWith(QStringLiteral("[00:00:01.00]A[00:00:02.00]\n[00:00:05.15]B[00:00:07.00]"));
    EXPECT_FALSE(w.lastSeekRequest().has_value());
    w.textView()->setSelectedRange({2, 0});
    QTest::keyClick(w.textView(), Qt::Key_Down);
    ASSERT_TRUE(w.lastSeekRequest().has_value());
    EXPECT_DOUBLE_EQ(w.lastSeekRequest()->seconds(), 5.5);

    // With a player, the request reaches it.
    FakePlayer player;
    w.setMoviePlayer(&player);
    QTest::keyClick(w.textView(), Qt::Key_Up);
    EXPECT_DOUBLE_EQ(player.now, 1.0);
    w.setMoviePlayer(w.moviePlayerControl());
}

TEST_F(EditorCommandsTest, KeysPressedInOtherViewsReachTheEditorsKeyHandler) {
    MQMainWindowController& w = windowWith(QStringLiteral("first line\nsecond line"));
    FakePlayer player;
    w.setMoviePlayer(&player);
    auto* moviePane = w.findChild<QWidget*>(QStringLiteral("moviePane"));
    ASSERT_NE(moviePane, nullptr);

    // Tab plays, and while playing the timing key puts the In code on the caret's line.
    QTest::keyClick(moviePane, Qt::Key_Tab);
    EXPECT_TRUE(player.playing);
    EXPECT_FALSE(w.shouldResignFirstResponder());
    player.now = 3;
    QTest::keyClick(moviePane, Qt::Key_Space);
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:03.00]first line\nsecond line"));
    player.now = 4;
    QTest::keyClick(moviePane, Qt::Key_Space);
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:03.00]first line[00:00:04.00]\nsecond line"));
    QTest::keyClick(moviePane, Qt::Key_Tab);
    EXPECT_FALSE(player.playing);
    EXPECT_TRUE(w.shouldResignFirstResponder());

    // A key the editor does not take is passed on and changes nothing.
    QTest::keyClick(moviePane, Qt::Key_Q);
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:03.00]first line[00:00:04.00]\nsecond line"));

    // The waveform's zoom keys reach the waveform's zoom.
    const int zoom = w.waveFormZoomSlider()->value();
    QTest::keyClick(moviePane, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_NE(w.waveFormZoomSlider()->value(), zoom);
    w.setMoviePlayer(w.moviePlayerControl());
}

TEST_F(EditorCommandsTest, FilesDroppedOnTheEditorAreOpenedNotInserted) {
    QFile script(path(QStringLiteral("script.txt")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("Line one\nLine two\n");
    script.close();
    // Read-only as well: the editor waits for a template, but a dropped file is still opened.
    DefaultsStore::settings().setValue(QStringLiteral("DefaultXML"), QStringLiteral("<xmeml/>"));
    MQMainWindowController& w = window();
    ASSERT_TRUE(w.textView()->isReadOnly());
    prompts_.clear();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(script.fileName())});
    QWidget* viewport = w.textView()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(editorText(), QStringLiteral("Line one\nLine two\n"));
    expectInStep(w);
}

TEST_F(EditorCommandsTest, ChangingTheFrameRateReadsTheCodesAgain) {
    MQMainWindowController& w = windowWith(QStringLiteral("[00:00:01.15]A[00:00:02.00]"));
    EXPECT_DOUBLE_EQ(w.subtitleTextModel().getAllSubtitles()[0]->startTime(), 1.5);
    QComboBox* rates = w.frameRateSelector();
    const int index = rates->findText(QStringLiteral("25"));
    rates->setCurrentIndex(index);
    Q_EMIT rates->activated(index);
    EXPECT_NEAR(w.subtitleTextModel().getAllSubtitles()[0]->startTime(), 1.6, 1e-6);
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.15]A[00:00:02.00]"));
}

// ---------------------------------------------------------------------------------------------
// The SRT import's timecode check

TEST_F(EditorCommandsTest, SrtImportWithBackwardCodesWarnsAndSelectsTheFirstBadCode) {
    QFile srt(path(QStringLiteral("overlap.srt")));
    ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
    srt.write("1\r\n00:00:01,000 --> 00:00:03,000\r\nA\r\n\r\n"
              "2\r\n00:00:02,000 --> 00:00:04,000\r\nB\r\n");
    srt.close();
    MQMainWindowController& w = windowWith(QString());
    w.didDragFileIntoView(srt.fileName());
    ASSERT_TRUE(waitFor([&] { return prompts_.asked().size() == 2; }));
    EXPECT_TRUE(messages()[0].startsWith(QStringLiteral("No movie imported.")));
    EXPECT_EQ(messages()[1],
              QStringLiteral("We found there are error time code in your srt file. You can find "
                             "them by click the 'Find Error TC' button on ToolBar, and you can "
                             "correct them by click on menu 'Tools-Auto Correct Error "
                             "Timecode'."));
    EXPECT_EQ(editorText(),
              QStringLiteral("[00:00:01.00]A[00:00:03.00]\n[00:00:02.00]B[00:00:04.00]"));
    // The second line's start is where time runs back.
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{28, 13}));
}

TEST_F(EditorCommandsTest, CleanSrtImportOnlyWarnsAboutTheMovie) {
    QFile srt(path(QStringLiteral("clean.srt")));
    ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
    srt.write("1\r\n00:00:01,000 --> 00:00:03,000\r\nA\r\n\r\n"
              "2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n");
    srt.close();
    MQMainWindowController& w = windowWith(QString());
    w.didDragFileIntoView(srt.fileName());
    waitFor([] { return false; }, 800);
    EXPECT_EQ(prompts_.asked().size(), 1u) << qPrintable(messages().join(u'|'));
}

// ---------------------------------------------------------------------------------------------
// Tools menu

TEST_F(EditorCommandsTest, ToolsMenuItemsChangeTheEditorText) {
    struct Case {
        const char* item;
        QString text;
        TextRange selection;
        const char* answer; // to a confirmation, if one is asked
        QString expected;
        QString clipboardBefore;
        QString clipboardAfter; // checked when not null
    };
    const QString overlapping =
        QStringLiteral("[00:00:01.00]A[00:00:03.00]\n[00:00:02.00]B[00:00:02.00]");
    const Case cases[] = {
        {"Convert Time Code Format",
         QStringLiteral("(01;02;03;04)Hi{01.02.03.09} a//b"),
         {},
         nullptr,
         QStringLiteral("[01:02:03.04]Hi[01:02:03.09] a⏎b"),
         {},
         {}},
        {"Convert Punctuation to Return",
         QStringLiteral("Hello，world。\nEnd,[00:00:01.00]"),
         {},
         nullptr,
         QStringLiteral("Hello\nworld\nEnd[00:00:01.00]\n"),
         {},
         {}},
        {"Remove Empty Lines",
         QStringLiteral("A\n\n  B \n\n"),
         {},
         nullptr,
         QStringLiteral("A\nB"),
         {},
         {}},
        {"Convert To Bilingual",
         QStringLiteral("A\n\nB\nC"),
         {},
         "Continue",
         QStringLiteral("A⏎B\nC"),
         {},
         {}},
        {"Convert To Bilingual",
         QStringLiteral("A\n\nB\nC"),
         {},
         "Cancel",
         QStringLiteral("A\n\nB\nC"),
         {},
         {}},
        {"Convert To Bilingual",
         QStringLiteral("X\nA\nB\nY"),
         {2, 3},
         "Continue",
         QStringLiteral("X\nA⏎B\nY"),
         {},
         {}},
        {"Cut Odd Lines",
         QStringLiteral("1\n2\n3\n4\n5"),
         {},
         nullptr,
         QStringLiteral("2\n4\n"),
         {},
         QStringLiteral("1\n3\n5\n")},
        {"Cut Even Lines",
         QStringLiteral("1\n2\n3\n4\n5"),
         {},
         nullptr,
         QStringLiteral("1\n3\n5\n"),
         {},
         QStringLiteral("2\n4\n")},
        {"Auto Correct Error Timecode",
         overlapping,
         {},
         nullptr,
         QStringLiteral("[00:00:01.00]A[00:00:03.00]\n[00:00:03.00]B[00:00:03.15]\n"),
         {},
         {}},
        {"Insert Line Break \"|\"",
         QStringLiteral("Hello World"),
         {5, 1},
         nullptr,
         QStringLiteral("Hello⏎World"),
         {},
         {}},
        {"Replace Time Code",
         QStringLiteral("Hi\nThere"),
         {0, 8},
         nullptr,
         QStringLiteral("[00:00:01.00]Hi[00:00:02.00]\n[00:00:03.00]There[00:00:04.00]\n"),
         QStringLiteral("[00:00:01.00] x [00:00:02.00]\r\n[00:00:03.00][00:00:04.00]"),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        MQMainWindowController& w = windowWith(c.text);
        w.textView()->setSelectedRange(c.selection);
        QApplication::clipboard()->setText(c.clipboardBefore);
        if (c.answer) {
            prompts_.answer(QString::fromLatin1(c.answer));
        }
        QAction* action = menuItem(w, QStringLiteral("Tools"), QString::fromUtf8(c.item));
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(editorText(), c.expected);
        EXPECT_EQ(w.isSaved(), c.expected == c.text);
        expectInStep(w);
        if (c.answer) {
            ASSERT_EQ(prompts_.asked().size(), 1u);
            EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Warning"));
            EXPECT_EQ(prompts_.asked()[0].buttons,
                      (QStringList{QStringLiteral("Cancel"), QStringLiteral("Continue")}));
        } else {
            EXPECT_TRUE(prompts_.asked().empty()) << qPrintable(messages().join(u'|'));
        }
        if (!c.clipboardAfter.isNull()) {
            EXPECT_EQ(QApplication::clipboard()->text(), c.clipboardAfter);
        }
    }
}

TEST_F(EditorCommandsTest, ReplaceTextPoursNewTextsOverTheTimedLines) {
    MQMainWindowController& w =
        windowWith(QStringLiteral("[00:00:01.00]one[00:00:02.00]\n[00:00:03.00]two[00:00:04.00]"));
    bool checkedMismatch = false;
    whenModal<MQReplaceTextWindowController>([&](MQReplaceTextWindowController& dialog) {
        EXPECT_FALSE(dialog.doneButton()->isEnabled());
        dialog.textArea()->setPlainText(QStringLiteral("uno"));
        EXPECT_EQ(dialog.warningLabel()->text(),
                  QStringLiteral("The line quantity of oringal 2 is not the same as replace "
                                 "text 1"));
        EXPECT_FALSE(dialog.doneButton()->isEnabled());
        dialog.textArea()->setPlainText(QStringLiteral("uno\n\ndos\n"));
        EXPECT_TRUE(dialog.warningLabel()->text().isEmpty());
        checkedMismatch = true;
        dialog.doneButton()->click();
    });
    w.replaceText();
    EXPECT_TRUE(checkedMismatch);
    EXPECT_EQ(editorText(),
              QStringLiteral("[00:00:01.00]uno[00:00:02.00]\n[00:00:03.00]dos[00:00:04.00]\n"));
    EXPECT_FALSE(w.isSaved());
    expectInStep(w);

    // Cancel changes nothing; the window starts empty again each time.
    const QString before = editorText();
    whenModal<MQReplaceTextWindowController>([](MQReplaceTextWindowController& dialog) {
        EXPECT_TRUE(dialog.textArea()->toPlainText().isEmpty());
        dialog.textArea()->setPlainText(QStringLiteral("a\nb"));
        dialog.cancelButton()->click();
    });
    button("replaceTextButton")->click();
    EXPECT_EQ(editorText(), before);
}

TEST_F(EditorCommandsTest, ConsolidateInterleavesThePastedLines) {
    MQMainWindowController& w = windowWith(QStringLiteral("X\n\nY"));
    whenModal<MQConsolidateTextWindowController>([](MQConsolidateTextWindowController& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Consolidate Text"));
        dialog.textArea()->setPlainText(QStringLiteral("x\ny"));
        dialog.doneButton()->click();
    });
    QAction* action = menuItem(w, QStringLiteral("Tools"), QStringLiteral("Consolidate Text File"));
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(editorText(), QStringLiteral("X\nx\nY\ny"));
    expectInStep(w);
}

// ---------------------------------------------------------------------------------------------
// Buttons beside the editor

TEST_F(EditorCommandsTest, TimecodeButtonsActOnTheCaretLineOrTheSelection) {
    MQMainWindowController& w =
        windowWith(QStringLiteral("[00:00:01.00]A[00:00:02.00]\n[00:00:03.00]B[00:00:04.00]"));
    w.textView()->setSelectedRange({30, 0});
    button("deleteTimeCodeButton")->click();
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.00]A[00:00:02.00]\nB"));
    expectInStep(w);

    w.textView()->setSelectedRange({14, 0});
    button("insertLineBreakButton")->click();
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.00]A⏎[00:00:02.00]\nB"));
    expectInStep(w);

    // Without a movie the insert button does nothing; with one it inserts the playback time at
    // the caret.
    prompts_.clear();
    const QString before = editorText();
    button("insertTimeCodeButton")->click();
    EXPECT_EQ(editorText(), before);
    EXPECT_TRUE(prompts_.asked().empty());
    FakePlayer player;
    player.now = 7;
    w.setMoviePlayer(&player);
    w.textView()->setSelectedRange({editorText().size(), 0});
    button("insertTimeCodeButton")->click();
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.00]A⏎[00:00:02.00]\nB[00:00:07.00]"));
    w.setMoviePlayer(w.moviePlayerControl());
}

TEST_F(EditorCommandsTest, FindErrorSelectsEachBadCodeInTurn) {
    MQMainWindowController& w = windowWith(QStringLiteral("[00:00:05.00]A[00:00:06.00]\n"
                                                          "[00:00:04.00]B[00:00:07.00]\n"
                                                          "[00:00:08.00]C[00:00:08.00]"));
    button("findErrorTimeCodeButton")->click();
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{28, 13})); // B's start
    button("findErrorTimeCodeButton")->click();
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{70, 13})); // C's end
    button("findErrorTimeCodeButton")->click();
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{28, 13})); // round again
}

TEST_F(EditorCommandsTest, AdjustDialogShiftsTheCodes) {
    MQMainWindowController& w =
        windowWith(QStringLiteral("[00:00:59.29]A[00:01:00.00]\n[00:00:00.10]B[00:00:01.00]"));
    whenModal<MQAdjustTimeCodeWindowController>([](MQAdjustTimeCodeWindowController& dialog) {
        EXPECT_EQ(dialog.resultLabel()->text(),
                  QStringLiteral("Shift all time codes backward 00:00:00.00"));
        dialog.forwardButton()->click();
        QLineEdit* seconds = dialog.field(AdjustTimeCodeState::Seconds);
        seconds->setText(QStringLiteral("1"));
        dialog.controlTextDidChange(AdjustTimeCodeState::Seconds);
        EXPECT_EQ(dialog.resultLabel()->text(),
                  QStringLiteral("Shift all time codes forward 00:00:01.00"));
        dialog.okButton()->click();
    });
    button("adjustTimeCodeButton")->click();
    EXPECT_EQ(editorText(),
              QStringLiteral("[00:01:00.29]A[00:01:01.00]\n[00:00:01.10]B[00:00:02.00]"));
    expectInStep(w);

    // Backward over the second line only: codes inside the selection move, never below zero.
    w.textView()->setSelectedRange({28, 27});
    whenModal<MQAdjustTimeCodeWindowController>([](MQAdjustTimeCodeWindowController& dialog) {
        // The dialog opens reset, whatever was chosen last time.
        EXPECT_TRUE(dialog.backwardButton()->isChecked());
        dialog.field(AdjustTimeCodeState::Seconds)->setText(QStringLiteral("2"));
        dialog.controlTextDidChange(AdjustTimeCodeState::Seconds);
        dialog.okButton()->click();
    });
    w.didPressAdjustTimeCodeMenuItem();
    EXPECT_EQ(editorText(),
              QStringLiteral("[00:01:00.29]A[00:01:01.00]\n[00:00:00.00]B[00:00:00.00]"));

    const QString before = editorText();
    whenModal<MQAdjustTimeCodeWindowController>([](MQAdjustTimeCodeWindowController& dialog) {
        dialog.field(AdjustTimeCodeState::Frames)->setText(QStringLiteral("5"));
        dialog.controlTextDidChange(AdjustTimeCodeState::Frames);
        dialog.cancelButton()->click();
    });
    w.didPressAdjustTimeCodeMenuItem();
    EXPECT_EQ(editorText(), before);
}

TEST_F(EditorCommandsTest, CommandsThatChangeTheTextWaitForATemplate) {
    DefaultsStore::settings().setValue(QStringLiteral("DefaultXML"), QStringLiteral("<xmeml/>"));
    MQMainWindowController& w = window();
    w.replaceTextInTextView(QStringLiteral("A\n\nB"));
    prompts_.clear();
    menuItem(w, QStringLiteral("Tools"), QStringLiteral("Remove Empty Lines"))->trigger();
    button("deleteTimeCodeButton")->click();
    EXPECT_EQ(editorText(), QStringLiteral("A\n\nB"));
    ASSERT_EQ(prompts_.asked().size(), 2u);
    for (const Prompt& p : prompts_.asked()) {
        EXPECT_EQ(p.message,
                  QStringLiteral("Please Load FCP Sample Text or Import XML File first."));
    }
}

TEST_F(EditorCommandsTest, FindSelectsEachMatchInTurnAndGoesRound) {
    MQMainWindowController& w = windowWith(QStringLiteral("one two\ntwo three\nfour"));
    EXPECT_FALSE(w.findBar()->isVisibleTo(&w));
    menuItem(w, QStringLiteral("Edit"), QStringLiteral("Find"))->trigger();
    EXPECT_TRUE(w.findBar()->isVisibleTo(&w));
    w.findField()->setText(QStringLiteral("two"));
    QTest::keyClick(w.findField(), Qt::Key_Return);
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{4, 3}));
    QTest::keyClick(w.findField(), Qt::Key_Return);
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{8, 3}));
    QTest::keyClick(w.findField(), Qt::Key_Return);
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{4, 3}));
    EXPECT_TRUE(w.findNextInTextView(true));
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{8, 3}));

    w.findField()->setText(QStringLiteral("five"));
    EXPECT_FALSE(w.findNextInTextView());
    EXPECT_EQ(w.textView()->selectedRange(), (TextRange{8, 3}));
    EXPECT_EQ(w.findStatus()->text(), QStringLiteral("Not found"));
    EXPECT_EQ(editorText(), QStringLiteral("one two\ntwo three\nfour"));
}

TEST_F(EditorCommandsTest, TheEditorFontSizeIsKeptForTheNextSession) {
    MQMainWindowController& w = window();
    const int startSize = w.currentFontSize();
    EXPECT_GT(startSize, 0);
    w.setCurrentFontSize(startSize + 7);
    EXPECT_EQ(w.textView()->font().pointSize(), startSize + 7);
    reopenWindow();
    EXPECT_EQ(window().currentFontSize(), startSize + 7);
    EXPECT_EQ(window().textView()->font().pointSize(), startSize + 7);
}
