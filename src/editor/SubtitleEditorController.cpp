#include "editor/SubtitleEditorController.h"

#include "editor/TextTools.h"
#include "model/MQSetting.h"
#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"

#include <QVariant>

#include <algorithm>

namespace {

// The start of a code may only be moved this close to the previous start, and an end this
// close to the next end.
constexpr int kNudgeGuardFrames = 10;
// An In code is refused inside a subtitle unless it is this close to its end.
constexpr double kStartInsertTolerance = 0.02;

SubtitleLinePtr lineFrom(const QVariant& value) {
    return value.value<SubtitleLinePtr>();
}

} // namespace

SubtitleEditorController::SubtitleEditorController(EditorTextBuffer& buffer) : buffer_(buffer) {
    buffer_.setEditListener([this](const EditOutcome& outcome) { didEdit(outcome); });
    currentEditingLine_ = model().lineAt(0);
}

SubtitleEditorController::~SubtitleEditorController() {
    buffer_.setEditListener({});
}

void SubtitleEditorController::observeNotifications() {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    auto observe = [&](const QString& name, NotificationCenter::Callback callback) {
        observers_.emplace_back(center.addObserver(name, std::move(callback)));
    };
    observe(MQWaveFormTextViewDidSelectStartTimeCodeNotification,
            [this](const Notification& n) { selectTimeCodeOfLine(lineFrom(n.object), true); });
    observe(MQWaveFormTextViewDidSelectEndTimeCodeNotification,
            [this](const Notification& n) { selectTimeCodeOfLine(lineFrom(n.object), false); });
    observe(MQWaveFormTextViewDidChangeStartTimeCodeNotification, [this](const Notification& n) {
        const TextRange selection = buffer_.selectedRange();
        handleStartTimeCodeAdjustment(
            selection,
            MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(n.object.toDouble()));
        buffer_.setSelectedRange(selection);
    });
    observe(MQWaveFormTextViewDidChangeEndTimeCodeNotification, [this](const Notification& n) {
        const TextRange selection = buffer_.selectedRange();
        handleEndTimeCodeAdjustment(
            selection,
            MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(n.object.toDouble()));
        buffer_.setSelectedRange(selection);
    });
    observe(kAddSubtitleLineToTextViewNotification,
            [this](const Notification& n) { addSubtitleFromWaveForm(lineFrom(n.object)); });
    observe(kDeleteSubtitleLineFromTextViewNotification, [this](const Notification& n) {
        deleteSubtitleTextFromTextView(lineFrom(n.object), false);
    });
    observe(kUpdateSubtitleTextViewTextNotification, [this](const Notification& n) {
        updateSubtitleTextToTextView(n.object.toString(),
                                     lineFrom(n.userInfo.value(QStringLiteral("subtitle"))));
    });
    observe(kMoviePlayerDidPauseNotification,
            [this](const Notification&) { moviePlayerDidPause(); });
    observe(kHighlightSubtitleTextNotification,
            [this](const Notification& n) { setHighlightSubtitle(lineFrom(n.object)); });
}

// --- Edits and lines -------------------------------------------------------------------------

void SubtitleEditorController::didEdit(const EditOutcome& outcome) {
    currentEditingLine_ = outcome.currentEditingLine;
    // The line after the edit is checked too: its start is judged against the edited line.
    const qsizetype last = std::min(outcome.firstLine + outcome.lineCount, model().lineCount() - 1);
    for (qsizetype i = outcome.firstLine; i <= last; ++i) {
        addDisplayAttributeToSubtitleline(i);
    }
    buffer_.restyleLines(outcome.firstLine, last - outcome.firstLine + 1);
    if (delegate_) {
        delegate_->textViewDidChange();
    }
}

SubtitleLinePtr SubtitleEditorController::lineAtCaret() const {
    return buffer_.model().getSubtitleLineWithRange(buffer_.selectedRange().location);
}

void SubtitleEditorController::gotoNextLine() {
    SubtitleTextModel& m = model();
    qsizetype index = m.lineIndexAtPosition(buffer_.selectedRange().location) + 1;
    while (index < m.lineCount() && m.lineText(index).isEmpty()) {
        ++index;
    }
    const qsizetype position = index < m.lineCount() ? m.lineStart(index) : m.text().size();
    buffer_.setSelectedRange({position, 0});
    currentEditingLine_ = lineAtCaret();
}

void SubtitleEditorController::replaceSelection(const QString& text) {
    buffer_.replaceCharacters(buffer_.selectedRange(), text);
}

void SubtitleEditorController::replaceAllText(const QString& text) {
    buffer_.replaceCharacters({0, buffer_.text().size()}, text);
    buffer_.setSelectedRange({0, 0});
    currentEditingLine_ = lineAtCaret();
    refreshTextViewDisplay();
}

// --- Checks ----------------------------------------------------------------------------------

void SubtitleEditorController::addDisplayAttributeToSubtitleline(qsizetype index) {
    const SubtitleLineList& lines = model().getAllSubtitles();
    if (index < 0 || index >= qsizetype(lines.size())) {
        return;
    }
    SubtitleLine& line = *lines[index];
    line.isStartTimeError =
        line.isStartTimeValid() && checkErrorStartTimeCodeAtSubtitleLine(lines, index);
    line.isEndTimeError = line.isEndTimeValid() && checkErrorEndTimeCodeAtSubtitleLine(line);
}

void SubtitleEditorController::refreshTextViewDisplay() {
    if (buffer_.text().isEmpty()) {
        return;
    }
    TimecodeOrderCheck check = checkTimecodeOrder(buffer_.text());
    errorTimeCodes_ = check.errorTimeCodes;
    errorTimeCodeRanges_ = check.errorTimeCodeRanges;
    error_ = check.error;
    currentErrorIndex_ = 0;
    highlightLineNumber_ = -1;
    buffer_.applyOrderCheck(check);
}

bool SubtitleEditorController::error() {
    // An empty text keeps no marks from an earlier one.
    if (buffer_.text().isEmpty()) {
        errorTimeCodes_.clear();
        errorTimeCodeRanges_.clear();
        error_ = false;
    }
    refreshTextViewDisplay();
    return error_;
}

void SubtitleEditorController::findFirstErrorTimeCode() {
    if (error_ && !errorTimeCodes_.isEmpty()) {
        currentErrorIndex_ = 0;
        buffer_.scrollRangeToVisible(errorTimeCodeRanges_.front());
    }
}

void SubtitleEditorController::findNextErrorTimecode() {
    currentEditingLine_ = lineAtCaret();
    const SubtitleLineList& lines = model().getAllSubtitles();
    const qsizetype n = qsizetype(lines.size());
    if (n == 0) {
        return;
    }
    qsizetype from = 0;
    if (currentErrorSubtitleLine_) {
        const qsizetype index = model().indexForSubtitleLine(currentErrorSubtitleLine_);
        from = index < 0 ? 0 : (index + 1) % n;
    }
    for (qsizetype step = 0; step < n; ++step) {
        const SubtitleLinePtr& line = lines[(from + step) % n];
        if (line->isStartTimeError || line->isEndTimeError) {
            const TextRange range =
                model().findTimeCodeRangeOfSubtitleLine(line, line->isStartTimeError);
            currentErrorSubtitleLine_ = line;
            buffer_.setSelectedRange(range);
            buffer_.scrollRangeToVisible(range);
            return;
        }
    }
}

void SubtitleEditorController::autoCorrectErrorTimecode() {
    replaceAllText(autoCorrectedText(model().getAllSubtitles()));
}

// --- Timing ----------------------------------------------------------------------------------

MediaTime SubtitleEditorController::playbackTime() const {
    return player_ ? player_->currentTime() : MediaTime::zero();
}

bool SubtitleEditorController::isPlaying() const {
    return player_ && player_->isPlaying();
}

bool SubtitleEditorController::hasMovie() const {
    return player_ && player_->hasMovie();
}

bool SubtitleEditorController::allowInsertStartTime(const MediaTime& time) const {
    const double t = MQTimeUtility::roundedTimeInteval(time.seconds());
    std::lock_guard lock(buffer_.model().listMutex());
    for (const auto& line : buffer_.model().getAllSubtitles()) {
        if (line->isValid() && line->startTime() <= t &&
            t < line->endTime() - kStartInsertTolerance) {
            return false;
        }
    }
    return true;
}

bool SubtitleEditorController::insertStartTimeCode(const MediaTime& time) {
    if (!allowInsertStartTime(time)) {
        return false;
    }
    replaceSelection(MQTimeUtility::sharedInstance().timeStringFromCMTime(time));
    NotificationCenter::defaultCenter().post(kHasInsertStartTimeCodeNotification,
                                             QVariant::fromValue(currentEditingLine_));
    isEndCodePaired_ = false;
    return true;
}

void SubtitleEditorController::insertEndTimeCode(const MediaTime& time) {
    replaceSelection(MQTimeUtility::sharedInstance().timeStringFromCMTime(time));
    NotificationCenter::defaultCenter().post(kHasInsertEndTimeCodeNotification);
    isEndCodePaired_ = true;
}

void SubtitleEditorController::insertStartTimeCodeInSubtitleLine(const SubtitleLinePtr& line) {
    const qsizetype index = model().indexForSubtitleLine(line);
    if (index < 0 || line->isStartTimeValid()) {
        return;
    }
    buffer_.setSelectedRange({model().lineStart(index), 0});
    insertStartTimeCode(playbackTime());
}

void SubtitleEditorController::insertEndTimeCodeInSubtitleLine(const SubtitleLinePtr& line) {
    if (!line || model().indexForSubtitleLine(line) < 0) {
        return;
    }
    bool stopRepeat = false;
    if (!line->isEndTimeValid()) {
        const TextRange textPart = model().getRangeWithSubtitleLine(line);
        buffer_.setSelectedRange({textPart.end(), 0});
        const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
        MediaTime t = playbackTime();
        if (line->isStartTimeValid() &&
            t.seconds() < line->startTime() + kMinimumSubtitleDuration) {
            t = tu.getCMTimeWithTimeInteval(line->startTime() + kMinimumSubtitleDuration);
            stopRepeat = true;
        }
        const SubtitleLinePtr next = model().nextSubtitleLineForLine(line);
        if (next && next->isStartTimeValid() &&
            MQTimeUtility::roundedTimeInteval(t.seconds()) > next->startTime()) {
            t = tu.getCMTimeWithTimeInteval(next->startTime());
        }
        insertEndTimeCode(t);
    }
    if (buffer_.selectedRange().location >= buffer_.text().size()) {
        replaceSelection(QStringLiteral("\n"));
    }
    gotoNextLine();
    if (stopRepeat && player_) {
        player_->stopRepeatPlaySubtitle();
    }
}

SubtitleLinePtr SubtitleEditorController::findSubtitleWithTime(const MediaTime& time) const {
    const double t = MQTimeUtility::roundedTimeInteval(time.seconds());
    std::lock_guard lock(buffer_.model().listMutex());
    const SubtitleLineList& lines = buffer_.model().getAllSubtitles();
    const qsizetype n = qsizetype(lines.size());
    qsizetype candidate = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (lines[i]->isValid() && lines[i]->endTime() <= t) {
            candidate = i + 1;
            if (candidate >= n) {
                return nullptr;
            }
            if (!lines[candidate]->isStartTimeValid()) {
                break;
            }
        }
    }
    return n == 0 ? nullptr : lines[candidate];
}

void SubtitleEditorController::insertCurrentTimeString() {
    if (!hasMovie()) {
        return;
    }
    replaceSelection(MQTimeUtility::sharedInstance().timeStringFromCMTime(playbackTime()));
}

void SubtitleEditorController::moviePlayerDidPause() {
    if (!isEndCodePaired_ && currentEditingLine_) {
        insertEndTimeCodeInSubtitleLine(currentEditingLine_);
    }
}

void SubtitleEditorController::runMode1() {
    SubtitleLinePtr line = findSubtitleWithTime(playbackTime());
    if (!line) {
        line = lineAtCaret();
    }
    if (!line) {
        return;
    }
    currentEditingLine_ = line;
    if (!line->isStartTimeValid()) {
        insertStartTimeCodeInSubtitleLine(line);
    } else if (!line->isEndTimeValid()) {
        insertEndTimeCodeInSubtitleLine(line);
    }
}

void SubtitleEditorController::mode2Press() {
    mode2Recording_ = true;
    currentEditingLine_ = lineAtCaret();
    if (!currentEditingLine_) {
        return;
    }
    if (currentEditingLine_->isStartTimeValid()) {
        gotoNextLine();
        if (!currentEditingLine_ || currentEditingLine_->isStartTimeValid()) {
            return;
        }
    }
    insertStartTimeCodeInSubtitleLine(currentEditingLine_);
}

void SubtitleEditorController::mode2Release() {
    if (currentEditingLine_ && currentEditingLine_->isStartTimeValid()) {
        insertEndTimeCodeInSubtitleLine(currentEditingLine_);
    }
    mode2Recording_ = false;
}

void SubtitleEditorController::runMode3() {
    if (!isPlaying()) {
        return;
    }
    currentEditingLine_ = lineAtCaret();
    if (currentEditingLine_ && currentEditingLine_->isStartTimeValid()) {
        insertEndTimeCodeInSubtitleLine(currentEditingLine_);
    }
    currentEditingLine_ = lineAtCaret();
    if (currentEditingLine_ && !currentEditingLine_->isStartTimeValid()) {
        insertStartTimeCodeInSubtitleLine(currentEditingLine_);
    }
}

// --- Code editing ----------------------------------------------------------------------------

std::vector<SubtitleEditorController::Code> SubtitleEditorController::allCodes() const {
    std::vector<Code> codes;
    const SubtitleTextModel& m = buffer_.model();
    editorTimecodePattern().forEachMatch(m.text(), [&](const Regex::Match& match) {
        Code code;
        code.range = {match.start(), match.length()};
        if (match.length() == kTimecodeLength) {
            code.isStart = m.isStartTimeCodeInRange(code.range);
            code.isEnd = !code.isStart && m.isEndTimeCodeInRange(code.range);
        }
        codes.push_back(code);
        return true;
    });
    return codes;
}

bool SubtitleEditorController::isSingleCode(TextRange range) const {
    if (range.length != kTimecodeLength || range.end() > buffer_.model().text().size()) {
        return false;
    }
    return editorTimecodePattern().matches(
        buffer_.model().text().mid(range.location, range.length));
}

void SubtitleEditorController::rewriteCode(TextRange range, const MediaTime& time) {
    buffer_.replaceCharacters(range, MQTimeUtility::sharedInstance().timeStringFromCMTime(time));
}

void SubtitleEditorController::deleteTimeStringsInSelection() {
    TextRange selection = buffer_.selectedRange();
    if (selection.length == 0) {
        const qsizetype index = model().lineIndexAtPosition(selection.location);
        selection = {model().lineStart(index), model().lineEnd(index) - model().lineStart(index)};
    }
    const QString result =
        TextTools::deleteTimecodes(buffer_.text().mid(selection.location, selection.length));
    buffer_.replaceCharacters(selection, result);
    refreshTextViewDisplay();
    buffer_.setSelectedRange({selection.location, result.size()});
}

void SubtitleEditorController::handleStartTimeCodeAdjustment(TextRange selected, MediaTime time) {
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    const std::vector<Code> codes = allCodes();
    const Code* previousStart = nullptr;
    const Code* previousEnd = nullptr;
    const Code* self = nullptr;
    for (const Code& code : codes) {
        if (code.range.location == selected.location) {
            self = &code;
        } else if (code.range.end() <= selected.location) {
            if (code.isStart) {
                previousStart = &code;
            }
            if (code.isEnd) {
                previousEnd = &code;
            }
        }
    }
    const QString& text = buffer_.text();
    MediaTime floor = MediaTime::zero();
    if (previousStart) {
        floor = tu.cmTimeFromTimeString(text.mid(previousStart->range.location, kTimecodeLength)) +
                tu.getCMTimeWithFrame(kNudgeGuardFrames);
    }
    if (time < floor) {
        time = floor;
    }
    std::optional<TextRange> dragged;
    if (self && self->isStart && previousEnd &&
        tu.cmTimeFromTimeString(text.mid(previousEnd->range.location, kTimecodeLength)) > time) {
        dragged = previousEnd->range;
    }
    rewriteCode(selected, time);
    if (dragged) {
        rewriteCode(*dragged, time);
    }
}

void SubtitleEditorController::handleEndTimeCodeAdjustment(TextRange selected, MediaTime time) {
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    const std::vector<Code> codes = allCodes();
    const Code* nextEnd = nullptr;
    const Code* nextStart = nullptr;
    const Code* self = nullptr;
    for (const Code& code : codes) {
        if (code.range.location == selected.location) {
            self = &code;
        } else if (code.range.location >= selected.end()) {
            if (code.isEnd && !nextEnd) {
                nextEnd = &code;
            }
            if (code.isStart && !nextStart) {
                nextStart = &code;
            }
        }
    }
    const QString& text = buffer_.text();
    std::optional<MediaTime> ceiling;
    if (nextEnd) {
        const MediaTime end =
            tu.cmTimeFromTimeString(text.mid(nextEnd->range.location, kTimecodeLength));
        const MediaTime guard = tu.getCMTimeWithFrame(kNudgeGuardFrames);
        ceiling = end < guard ? MediaTime::zero() : end - guard;
    } else if (hasMovie()) {
        ceiling = player_->duration();
    }
    if (ceiling && time > *ceiling) {
        time = *ceiling;
    }
    if (self && self->isEnd && nextStart &&
        tu.cmTimeFromTimeString(text.mid(nextStart->range.location, kTimecodeLength)) < time) {
        rewriteCode(nextStart->range, time);
    }
    rewriteCode(selected, time);
}

void SubtitleEditorController::adjustTimeStringInSelectionWithTimeIncreament(
    const MediaTime& offset, bool increase) {
    TextRange selection = buffer_.selectedRange();
    if (selection.length == 0) {
        selection = {0, buffer_.text().size()};
    }
    const QString result = TextTools::shiftTimecodes(
        buffer_.text().mid(selection.location, selection.length), offset, increase);
    buffer_.replaceCharacters(selection, result);
    refreshTextViewDisplay();
    buffer_.setSelectedRange({selection.location, result.size()});
}

void SubtitleEditorController::pasteTextOnly(const QString& texts) {
    TextRange selection = buffer_.selectedRange();
    if (selection.length == 0) {
        selection = {0, buffer_.text().size()};
    }
    QString result =
        TextTools::pasteTextOnly(buffer_.text().mid(selection.location, selection.length), texts);
    buffer_.replaceCharacters(selection, result);
    refreshTextViewDisplay();
    buffer_.setSelectedRange({0, 0});
}

void SubtitleEditorController::pasteTimeCodeOnly(const QString& codes) {
    const TextRange selection = buffer_.selectedRange();
    replaceSelection(TextTools::pasteTimeCodeOnly(
        buffer_.text().mid(selection.location, selection.length), codes));
}

QString SubtitleEditorController::cutLines(bool odd) {
    TextRange selection = buffer_.selectedRange();
    if (selection.length == 0) {
        selection = {0, buffer_.text().size()};
    }
    const TextTools::CutResult result =
        TextTools::cutLines(buffer_.text().mid(selection.location, selection.length), odd);
    buffer_.replaceCharacters(selection, result.kept);
    buffer_.setSelectedRange({selection.location, result.kept.size()});
    return result.cut;
}

// --- Player sync -----------------------------------------------------------------------------

void SubtitleEditorController::jumpToCurrentEditingLine() {
    if (!currentEditingLine_) {
        return;
    }
    double t = currentEditingLine_->startTime();
    if (buffer_.selectedRange() ==
            model().findTimeCodeRangeOfSubtitleLine(currentEditingLine_, false) &&
        currentEditingLine_->isEndTimeValid()) {
        t = currentEditingLine_->endTime();
    }
    if (t < 0) {
        return;
    }
    const bool wasPlaying = isPlaying();
    if (delegate_) {
        delegate_->didSelectedTimeCode(MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(t));
    }
    if (wasPlaying) {
        player_->play();
    }
}

void SubtitleEditorController::jumpToTimeString(const QString& timecode) {
    if (!delegate_) {
        return;
    }
    delegate_->didSelectedTimeCode(
        timecode.isEmpty() ? MediaTime::zero()
                           : MQTimeUtility::sharedInstance().cmTimeFromTimeString(timecode));
}

void SubtitleEditorController::jumpSelectedTimeString(TextRange range) {
    jumpToTimeString(buffer_.text().mid(range.location, range.length));
}

void SubtitleEditorController::didClick() {
    typeAfterInputK_ = true;
    if (player_ && player_->repeatSubtitle()) {
        player_->stopRepeatPlaySubtitle();
    }
    const TextRange selection = buffer_.selectedRange();
    const QString& text = buffer_.text();
    const bool isCode = selection.length == kTimecodeLength && text[selection.location] == u'[' &&
                        text[selection.end() - 1] == u']';
    if (selection.length == 0 || isCode) {
        currentEditingLine_ = lineAtCaret();
        jumpToCurrentEditingLine();
    }
}

// --- Keys ------------------------------------------------------------------------------------

static bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta ||
           key == Qt::Key_Alt || key == Qt::Key_AltGr;
}

static bool isArrowKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

static Qt::KeyboardModifiers significantModifiers(Qt::KeyboardModifiers modifiers) {
    return modifiers &
           (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier);
}

KeyOutcome SubtitleEditorController::keyDown(const EditorKeyEvent& event) {
    if (isModifierKey(event.key)) {
        return KeyOutcome::PassOn;
    }
    if (event.key != Qt::Key_J && event.key != Qt::Key_K && event.key != Qt::Key_L) {
        typeAfterInputK_ = true;
    }
    adjustingTimeCode_ = false;
    if (handleKeyEvent(event)) {
        return KeyOutcome::Handled;
    }
    if (isPlaying() && !isArrowKey(event.key)) {
        return KeyOutcome::Swallowed;
    }
    return KeyOutcome::PassOn;
}

void SubtitleEditorController::keyUp(const EditorKeyEvent& event) {
    if (!event.isAutoRepeat && isPlaying() && mode2Recording_ &&
        event.keyString == MQSetting::shareInstance().mode2ShourtCut()) {
        mode2Release();
    }
    adjustingTimeCode_ = false;
}

void SubtitleEditorController::caretMovedByArrowKey() {
    currentEditingLine_ = lineAtCaret();
    jumpToCurrentEditingLine();
}

bool SubtitleEditorController::handleKeyEvent(const EditorKeyEvent& event) {
    if (handleMovieControlShortCut(event) || handleWaveFormZoomShortCut(event) ||
        handleTimeCodeSelectionShortCut(event)) {
        return true;
    }
    const MQSetting& settings = MQSetting::shareInstance();
    if (event.keyString == settings.deleteTimecodeShortCut()) {
        deleteTimeStringsInSelection();
        return true;
    }
    if (handleTimeCodeAdjustmentShortCut(event)) {
        return true;
    }
    const Qt::KeyboardModifiers modifiers = significantModifiers(event.modifiers);
    if (event.key == Qt::Key_F6 ||
        (event.key == Qt::Key_Comma && modifiers == Qt::ControlModifier)) {
        insertCurrentTimeString();
        return true;
    }
    if (!hasMovie() || !isPlaying()) {
        return false;
    }
    if (event.keyString == settings.mode1ShourtCut()) {
        runMode1();
        return true;
    }
    if (event.keyString == settings.mode2ShourtCut()) {
        if (!mode2Recording_) {
            mode2Press();
        }
        return true;
    }
    if (event.keyString == settings.mode3ShourtCut()) {
        runMode3();
        return true;
    }
    return false;
}

bool SubtitleEditorController::handleMovieControlShortCut(const EditorKeyEvent& event) {
    if (!hasMovie()) {
        return false;
    }
    const MQSetting& settings = MQSetting::shareInstance();
    const Qt::KeyboardModifiers modifiers = significantModifiers(event.modifiers);
    const bool isTab = event.key == Qt::Key_Tab || event.key == Qt::Key_Backtab;
    if (event.keyString == settings.backwardVideoShortCut() ||
        (isTab && modifiers == Qt::MetaModifier)) {
        player_->rewind();
        return true;
    }
    if (event.keyString == settings.forwardVideoShortCut() ||
        (isTab && modifiers == Qt::ShiftModifier)) {
        player_->fastForward();
        return true;
    }
    if (isTab && modifiers == Qt::NoModifier) {
        if (player_->isPlaying()) {
            player_->stopRepeatPlaySubtitle();
        } else {
            player_->play();
        }
        return true;
    }
    // Bare letters type while the user is writing; the configured play key does not.
    const bool bare = modifiers == Qt::NoModifier;
    const bool isPlayKey = event.keyString == settings.playVideoShortCut();
    if (isPlayKey || (event.key == Qt::Key_K && bare)) {
        if (player_->isPlaying()) {
            player_->stopRepeatPlaySubtitle();
            typeAfterInputK_ = false;
            return true;
        }
        if (typeAfterInputK_ && (bare || !isPlayKey)) {
            return false;
        }
        player_->play();
        return true;
    }
    if ((event.key == Qt::Key_L || event.key == Qt::Key_J) && bare) {
        const bool playing = player_->isPlaying();
        if (!playing && typeAfterInputK_) {
            return false;
        }
        if (event.key == Qt::Key_L) {
            player_->speedForward();
        } else {
            player_->speedBackward();
        }
        if (playing) {
            typeAfterInputK_ = false;
        } else {
            player_->play();
        }
        return true;
    }
    return false;
}

bool SubtitleEditorController::handleWaveFormZoomShortCut(const EditorKeyEvent& event) {
    if (!delegate_) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = significantModifiers(event.modifiers);
    const bool minus = event.key == Qt::Key_Minus;
    const bool equals = event.key == Qt::Key_Equal;
    if (!minus && !equals) {
        return false;
    }
    if (modifiers == Qt::ControlModifier) {
        minus ? delegate_->decreaseWaveFormSlider() : delegate_->increaseWaveFormSlider();
        return true;
    }
    if (modifiers == Qt::AltModifier) {
        minus ? delegate_->decreaseWaveFormYAxisZoomRate()
              : delegate_->increaseWaveFormYAxisZoomRate();
        return true;
    }
    return false;
}

void SubtitleEditorController::selectAndJump(TextRange range) {
    buffer_.setSelectedRange(range);
    jumpSelectedTimeString(range);
    buffer_.scrollRangeToVisible(range);
}

bool SubtitleEditorController::handleTimeCodeSelectionShortCut(const EditorKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = significantModifiers(event.modifiers);
    const TextRange selection = buffer_.selectedRange();
    if (modifiers == Qt::AltModifier && (event.key == Qt::Key_Right || event.key == Qt::Key_Left)) {
        const std::vector<Code> codes = allCodes();
        const Code* found = nullptr;
        if (event.key == Qt::Key_Right) {
            for (const Code& code : codes) {
                if (code.range.location >= selection.end()) {
                    found = &code;
                    break;
                }
            }
        } else {
            for (const Code& code : codes) {
                if (code.range.end() <= selection.location) {
                    found = &code;
                }
            }
        }
        if (found) {
            selectAndJump(found->range);
        }
        return true;
    }
    if (modifiers == Qt::NoModifier && (event.key == Qt::Key_Down || event.key == Qt::Key_Up) &&
        isSingleCode(selection)) {
        const std::vector<Code> codes = allCodes();
        const auto self = std::find_if(codes.begin(), codes.end(), [&](const Code& code) {
            return code.range.location == selection.location;
        });
        const qsizetype index = self - codes.begin();
        const qsizetype target = event.key == Qt::Key_Down ? index + 2 : index - 2;
        if (self != codes.end() && target >= 0 && target < qsizetype(codes.size())) {
            selectAndJump(codes[target].range);
        }
        return true;
    }
    if (modifiers == Qt::NoModifier &&
        (event.key == Qt::Key_Return || event.key == Qt::Key_Enter) && !isPlaying() &&
        isSingleCode(selection)) {
        buffer_.setSelectedRange({selection.end(), 0});
        return true;
    }
    return false;
}

bool SubtitleEditorController::handleTimeCodeAdjustmentShortCut(const EditorKeyEvent& event) {
    const TextRange selection = buffer_.selectedRange();
    const Qt::KeyboardModifiers modifiers = significantModifiers(event.modifiers);
    if (modifiers != Qt::NoModifier || (event.key != Qt::Key_Left && event.key != Qt::Key_Right) ||
        !isSingleCode(selection)) {
        return false;
    }
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    currentEditingLine_ = lineAtCaret();
    const MediaTime code =
        tu.cmTimeFromTimeString(buffer_.text().mid(selection.location, selection.length));
    MediaTime requested;
    if (event.key == Qt::Key_Left) {
        requested = tu.decreasedCMTime(code);
        handleStartTimeCodeAdjustment(selection, requested);
    } else {
        requested = tu.increasedCMTime(code);
        handleEndTimeCodeAdjustment(selection, requested);
    }
    if (player_) {
        player_->setCurrentTime(MQTimeUtility::roundedTimeInteval(requested.seconds()));
    }
    jumpSelectedTimeString(selection);
    buffer_.setSelectedRange(selection);
    adjustingTimeCode_ = true;
    return true;
}

// --- The waveform's requests -----------------------------------------------------------------

void SubtitleEditorController::addSubtitleFromWaveForm(const SubtitleLinePtr& line) {
    if (!line) {
        return;
    }
    SubtitleTextModel& m = model();
    std::lock_guard lock(m.listMutex());
    const SubtitleLineList& lines = m.getAllSubtitles();
    qsizetype index = 0;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const SubtitleLine& existing = *lines[i];
        if (!existing.isValid()) {
            continue;
        }
        if (line->startTime() >= existing.endTime()) {
            index = i + 1;
        }
        if (existing.startTime() >= line->endTime()) {
            break;
        }
    }
    // An untimed line at that place gives its text to the new subtitle and makes way for it.
    if (index < m.lineCount() && !lines[index]->isValid()) {
        const SubtitleLinePtr untimed = lines[index];
        line->setText(untimed->text());
        const qsizetype start = m.lineStart(index);
        const qsizetype end = index + 1 < m.lineCount() ? m.lineStart(index + 1) : m.text().size();
        buffer_.replaceCharacters({start, end - start}, QString());
    }
    QString rendering = line->getSubtitleLineString();
    rendering.replace(u'\n', QChar(TextTools::kReturnMarker));
    // Appended after the last line, the new subtitle gets a line of its own.
    if (index >= m.lineCount()) {
        buffer_.replaceCharacters({m.text().size(), 0}, u'\n' + rendering);
    } else {
        buffer_.replaceCharacters({m.lineStart(index), 0}, rendering + u'\n');
    }
}

void SubtitleEditorController::deleteSubtitleTextFromTextView(const SubtitleLinePtr& line,
                                                              bool forced) {
    SubtitleTextModel& m = model();
    const qsizetype index = m.indexForSubtitleLine(line);
    if (index < 0) {
        return;
    }
    currentEditingLine_ = line;
    if (forced || MQStringUtility::trimWhitespaceAndNewlines(line->text()).isEmpty()) {
        const qsizetype start = m.lineStart(index);
        const bool isLast = index + 1 >= m.lineCount();
        qsizetype end = isLast ? m.text().size() : m.lineStart(index + 1);
        buffer_.replaceCharacters({start, end - start}, QString());
    } else {
        const TextRange endCode = m.findTimeCodeRangeOfSubtitleLine(line, false);
        if (endCode.length > 0) {
            buffer_.replaceCharacters(endCode, QString());
        }
        const TextRange startCode = m.findTimeCodeRangeOfSubtitleLine(line, true);
        if (startCode.length > 0) {
            buffer_.replaceCharacters(startCode, QString());
        }
    }
    line->setStartTime(-1);
    line->setEndTime(-1);
}

void SubtitleEditorController::updateSubtitleTextToTextView(const QString& text,
                                                            const SubtitleLinePtr& line) {
    SubtitleTextModel& m = model();
    if (m.indexForSubtitleLine(line) < 0) {
        return;
    }
    QString replacement = MQStringUtility::normalizeEditorText(
        QString(text).replace(u'\n', QChar(TextTools::kReturnMarker)));
    const TextRange textPart = m.getRangeWithSubtitleLine(line);
    textChangedFromWaveForm_ = true;
    buffer_.replaceCharacters(textPart, replacement);
    const qsizetype index = m.indexForSubtitleLine(line);
    if (index >= 0) {
        buffer_.setHighlightLine(index);
        highlightLineNumber_ = index;
    }
    textChangedFromWaveForm_ = false;
    buffer_.setSelectedRange({textPart.location, 0});
}

void SubtitleEditorController::setHighlightSubtitle(const SubtitleLinePtr& line) {
    const qsizetype index = model().indexForSubtitleLine(line);
    if (index < 0 || index == highlightLineNumber_) {
        return;
    }
    highlightLineNumber_ = index;
    buffer_.setHighlightLine(index);
    buffer_.scrollRangeToVisible(model().getRangeWithSubtitleLine(line));
}

void SubtitleEditorController::selectTimeCodeOfLine(const SubtitleLinePtr& line, bool start) {
    if (model().indexForSubtitleLine(line) < 0) {
        return;
    }
    buffer_.setSelectedRange(model().findTimeCodeRangeOfSubtitleLine(line, start));
    currentEditingLine_ = line;
}
