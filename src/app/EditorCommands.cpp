// The window's editor commands: the editor's delegate, keys from the other views, and the
// commands of the Tools menu and of the buttons beside the editor.
#include "app/MQMainWindowController.h"

#include "editor/MoviePlayerControl.h"
#include "editor/TextTools.h"
#include "editor/views/MQPasteInWindowController.h"
#include "editor/views/SubtitleTextView.h"
#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "platform/PromptService.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

SubtitleTextModel& MQMainWindowController::subtitleTextModel() {
    return textView_->model();
}

SubtitleEditorController& MQMainWindowController::editor() {
    return textView_->editor();
}

// ---------------------------------------------------------------------------------------------
// The player

void MQMainWindowController::setMoviePlayer(MoviePlayerControl* player) {
    moviePlayer_ = player;
    editor().setPlayer(player);
}

void MQMainWindowController::seekMoviePlayerToTime(const MediaTime& time) {
    lastSeekRequest_ = time;
    if (!moviePlayer_ || !moviePlayer_->hasMovie()) {
        return;
    }
    if (moviePlayer_ == moviePlayerControl()) {
        seekToSelectedTimeCode(time); // also shows that line over the movie
    } else {
        moviePlayer_->setCurrentTime(time.seconds());
    }
}

// ---------------------------------------------------------------------------------------------
// The editor's delegate

void MQMainWindowController::textViewDidChange() {
    saved_ = false;
}

void MQMainWindowController::didSelectedTimeCode(const MediaTime& time) {
    seekMoviePlayerToTime(time);
}

bool MQMainWindowController::shouldResignFirstResponder() {
    // While the movie plays the editor keeps the keys, so that timing goes on.
    return !(moviePlayer_ && moviePlayer_->isPlaying());
}

void MQMainWindowController::didDragFileIntoTextView(const QString& path) {
    didDragFileIntoView(path);
}

SubtitleLineList MQMainWindowController::subtitleForStartTimeAndEndTime(double start, double end) {
    return subtitleTextModel().subtitleForStartTimeAndEndTime(start, end);
}

qsizetype MQMainWindowController::indexForSubtitleLine(const SubtitleLinePtr& line) {
    return subtitleTextModel().indexForSubtitleLine(line);
}

SubtitleLinePtr MQMainWindowController::previousSubtitleLineForLine(const SubtitleLinePtr& line) {
    return subtitleTextModel().previousSubtitleLineForLine(line);
}

SubtitleLinePtr MQMainWindowController::nextSubtitleLineForLine(const SubtitleLinePtr& line) {
    return subtitleTextModel().nextSubtitleLineForLine(line);
}

// ---------------------------------------------------------------------------------------------
// Keys from the other views

bool MQMainWindowController::didRecieveKeydownEvent(QKeyEvent* event) {
    return editor().handleKeyEvent(SubtitleTextView::editorKeyEvent(*event));
}

void MQMainWindowController::keyPressEvent(QKeyEvent* event) {
    if (didRecieveKeydownEvent(event)) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool MQMainWindowController::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab in another view arrive here rather than as key presses; they drive the
    // player when a movie is loaded and move the focus otherwise.
    const QKeyEvent tab(QEvent::KeyPress, next ? Qt::Key_Tab : Qt::Key_Backtab,
                        next ? Qt::NoModifier : Qt::ShiftModifier);
    if (editor().handleKeyEvent(SubtitleTextView::editorKeyEvent(tab))) {
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
}

void MQMainWindowController::keyReleaseEvent(QKeyEvent* event) {
    editor().keyUp(SubtitleTextView::editorKeyEvent(*event));
    QMainWindow::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Find

void MQMainWindowController::buildFindBar(QWidget* parent) {
    findBar_ = new QWidget(parent);
    findBar_->setObjectName(QStringLiteral("findBar"));
    auto* row = new QHBoxLayout(findBar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(QStringLiteral("Find:"), findBar_));
    findField_ = new QLineEdit(findBar_);
    findField_->setObjectName(QStringLiteral("findField"));
    row->addWidget(findField_, 1);
    const auto add = [this, row](const QString& title, std::function<void()> command) {
        auto* button = new QToolButton(findBar_);
        button->setText(title);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, std::move(command));
        row->addWidget(button);
    };
    add(QStringLiteral("Previous"), [this] { findNextInTextView(true); });
    add(QStringLiteral("Next"), [this] { findNextInTextView(false); });
    findStatus_ = new QLabel(findBar_);
    row->addWidget(findStatus_);
    add(QStringLiteral("Done"), [this] {
        findBar_->hide();
        textView_->setFocus();
    });
    connect(findField_, &QLineEdit::returnPressed, this, [this] { findNextInTextView(false); });
    auto* close = new QAction(findBar_);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(close, &QAction::triggered, this, [this] {
        findBar_->hide();
        textView_->setFocus();
    });
    findBar_->addAction(close);
    findBar_->hide();
}

void MQMainWindowController::showFindBar() {
    findBar_->show();
    findField_->setFocus();
    findField_->selectAll();
}

bool MQMainWindowController::findNextInTextView(bool backward) {
    const QString needle = findField_->text();
    findStatus_->clear();
    if (needle.isEmpty()) {
        return false;
    }
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (textView_->find(needle, flags)) {
        return true;
    }
    const QTextCursor from = textView_->textCursor();
    QTextCursor wrapped = from;
    wrapped.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    textView_->setTextCursor(wrapped);
    if (textView_->find(needle, flags)) {
        return true;
    }
    textView_->setTextCursor(from);
    findStatus_->setText(QStringLiteral("Not found"));
    return false;
}

// ---------------------------------------------------------------------------------------------
// Timecodes

bool MQMainWindowController::checkEditable() {
    // The editor stays read-only until a subtitle template is loaded; the commands that change
    // its text wait for that too.
    return !textView_->isReadOnly() || checkXML();
}

void MQMainWindowController::didPressInsertTimeCodeButton() {
    if (!checkEditable()) {
        return;
    }
    if (!moviePlayer_ || !moviePlayer_->hasMovie()) {
        return;
    }
    editor().insertCurrentTimeString();
    editor().refreshTextViewDisplay();
}

void MQMainWindowController::deleteTimeCode() {
    if (!checkEditable()) {
        return;
    }
    editor().deleteTimeStringsInSelection();
}

void MQMainWindowController::insertBreakLine() {
    if (!checkEditable()) {
        return;
    }
    textView_->replaceCharacters(textView_->selectedRange(), QString(TextTools::kReturnMarker));
}

void MQMainWindowController::didPressAdjustTimeCodeMenuItem() {
    if (!checkEditable()) {
        return;
    }
    if (!adjustTimeCode_) {
        adjustTimeCode_ = new MQAdjustTimeCodeWindowController(this);
        adjustTimeCode_->setDelegate(this);
    }
    adjustTimeCode_->reset(MQTimeUtility::sharedInstance().getFPS());
    adjustTimeCode_->exec();
}

void MQMainWindowController::adjustTimeCodeWithTime(const MediaTime& offset, bool isForward) {
    editor().adjustTimeStringInSelectionWithTimeIncreament(offset, isForward);
}

void MQMainWindowController::findErrorTimeCode() {
    editor().findNextErrorTimecode();
}

void MQMainWindowController::autoCorrectErrorTimecode() {
    if (!checkEditable()) {
        return;
    }
    editor().autoCorrectErrorTimecode();
}

// ---------------------------------------------------------------------------------------------
// Text tools

void MQMainWindowController::transformSelectionOrText(
    const std::function<QString(const QString&)>& transform) {
    const TextRange selection = textView_->selectedRange();
    if (selection.length == 0) {
        replaceTextInTextView(transform(textView_->toPlainText()));
        return;
    }
    const QString result =
        transform(subtitleTextModel().text().mid(selection.location, selection.length));
    textView_->replaceCharacters(selection, result);
    textView_->setSelectedRange({selection.location, result.size()});
}

void MQMainWindowController::convertDoubleLine() {
    if (!checkEditable()) {
        return;
    }
    if (!PromptService::confirm(
            QStringLiteral("Warning"),
            QStringLiteral("The even lines will be merged into the odd lines: line 2 joins line "
                           "1, line 4 joins line 3, and so on, with a line break between them. "
                           "Do you want to continue?"))) {
        return;
    }
    transformSelectionOrText(TextTools::convertToBilingual);
}

void MQMainWindowController::cutLinesToClipboard(bool odd) {
    if (!checkEditable()) {
        return;
    }
    const QString cut = editor().cutLines(odd);
    QGuiApplication::clipboard()->setText(cut);
}

void MQMainWindowController::cutOddLines() {
    cutLinesToClipboard(true);
}

void MQMainWindowController::cutEvenLines() {
    cutLinesToClipboard(false);
}

void MQMainWindowController::convertPuntuation() {
    if (!checkEditable()) {
        return;
    }
    replaceTextInTextView(TextTools::convertPunctuationToReturn(textView_->toPlainText()));
}

void MQMainWindowController::didPressRemoveEmptyLineMenuItem() {
    if (!checkEditable()) {
        return;
    }
    replaceTextInTextView(TextTools::removeEmptyLinesFromString(textView_->toPlainText()));
}

void MQMainWindowController::convertTimeCodeFormat() {
    if (!checkEditable()) {
        return;
    }
    replaceTextInTextView(TextTools::convertTimeCodeFormat(textView_->toPlainText()));
}

void MQMainWindowController::replaceText() {
    if (!checkEditable()) {
        return;
    }
    replaceTextWindow_->setOriginalText(textView_->toPlainText());
    if (replaceTextWindow_->exec() == 1) {
        editor().pasteTextOnly(replaceTextWindow_->getReplaceText());
    }
}

void MQMainWindowController::replaceTimeCode() {
    if (!checkEditable()) {
        return;
    }
    editor().pasteTimeCodeOnly(
        MQStringUtility::normalizeEditorText(QGuiApplication::clipboard()->text()));
}

void MQMainWindowController::consolidateText() {
    if (!checkEditable()) {
        return;
    }
    consolidateTextWindow_->setOriginalText(textView_->toPlainText());
    if (consolidateTextWindow_->exec() == 1) {
        replaceTextInTextView(consolidateTextWindow_->getConsolidateText());
    }
}
