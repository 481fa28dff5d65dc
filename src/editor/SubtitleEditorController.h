#pragma once

#include "editor/EditorTextBuffer.h"
#include "editor/MoviePlayerControl.h"
#include "editor/TimecodeCheck.h"
#include "platform/NotificationCenter.h"

#include <QString>
#include <QStringList>

#include <vector>

// What the editor asks of the main window.
class SubtitleTextViewDelegate {
public:
    virtual ~SubtitleTextViewDelegate() = default;
    virtual void textViewDidChange() {}
    // A code was selected or the caret moved to a timed line: the player goes there.
    virtual void didSelectedTimeCode(const MediaTime& time) { (void)time; }
    virtual bool shouldResignFirstResponder() { return true; }
    virtual void increaseWaveFormSlider() {}
    virtual void decreaseWaveFormSlider() {}
    virtual void increaseWaveFormYAxisZoomRate() {}
    virtual void decreaseWaveFormYAxisZoomRate() {}
    virtual void didDragFileIntoTextView(const QString& path) { (void)path; }
};

// A key press as the editor sees it: the Qt key, its modifiers, and its key-sequence text as
// the shortcut settings store it ("Ctrl+K", "Space", "Return", "2").
struct EditorKeyEvent {
    int key = 0; // Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString keyString;
    bool isAutoRepeat = false;
};

// What became of a key press.
enum class KeyOutcome {
    Handled,   // the editor acted on it; the text does not see it
    Swallowed, // the movie plays: typing is ignored
    PassOn,    // the text view handles it as usual
};

// The editor's behaviour over a text buffer: the per-line and whole-text checks, hand timing
// against the player, code editing and navigation, and the waveform's requests.
class SubtitleEditorController {
public:
    explicit SubtitleEditorController(EditorTextBuffer& buffer);
    ~SubtitleEditorController();
    SubtitleEditorController(const SubtitleEditorController&) = delete;
    SubtitleEditorController& operator=(const SubtitleEditorController&) = delete;

    EditorTextBuffer& buffer() { return buffer_; }
    SubtitleTextModel& model() { return buffer_.model(); }

    void setPlayer(MoviePlayerControl* player) { player_ = player; }
    MoviePlayerControl* player() const { return player_; }
    void setDelegate(SubtitleTextViewDelegate* delegate) { delegate_ = delegate; }
    // Starts answering the waveform's and the player's notifications.
    void observeNotifications();

    // Lines and the caret.
    SubtitleLinePtr currentEditingLine() const { return currentEditingLine_; }
    void setCurrentEditingLine(SubtitleLinePtr line) { currentEditingLine_ = std::move(line); }
    SubtitleLinePtr lineAtCaret() const;
    void gotoNextLine();
    // Replaces the whole text in one step and runs the full restyle; the caret goes to the top.
    void replaceAllText(const QString& text);

    // Checks.
    void addDisplayAttributeToSubtitleline(qsizetype index);
    void refreshTextViewDisplay();
    bool error();
    const QStringList& errorTimeCodes() const { return errorTimeCodes_; }
    const std::vector<TextRange>& errorTimeCodeRanges() const { return errorTimeCodeRanges_; }
    int currentErrorIndex() const { return currentErrorIndex_; }
    void findFirstErrorTimeCode();
    void findNextErrorTimecode();
    void autoCorrectErrorTimecode();

    // Timing.
    bool allowInsertStartTime(const MediaTime& time) const;
    bool insertStartTimeCode(const MediaTime& time);
    void insertEndTimeCode(const MediaTime& time);
    void insertStartTimeCodeInSubtitleLine(const SubtitleLinePtr& line);
    void insertEndTimeCodeInSubtitleLine(const SubtitleLinePtr& line);
    SubtitleLinePtr findSubtitleWithTime(const MediaTime& time) const;
    void insertCurrentTimeString();
    void moviePlayerDidPause();
    void runMode1();
    void mode2Press();
    void mode2Release();
    void runMode3();

    // Code editing.
    void deleteTimeStringsInSelection();
    void handleStartTimeCodeAdjustment(TextRange selected, MediaTime time);
    void handleEndTimeCodeAdjustment(TextRange selected, MediaTime time);
    void adjustTimeStringInSelectionWithTimeIncreament(const MediaTime& offset, bool increase);
    void pasteTextOnly(const QString& texts);
    void pasteTimeCodeOnly(const QString& codes);
    // Cuts odd (or even) lines of the selection or the whole text; returns what was cut.
    QString cutLines(bool odd);
    QString cut1Lines() { return cutLines(true); }
    QString cut2Lines() { return cutLines(false); }

    // Player sync.
    void jumpToCurrentEditingLine();
    void jumpToTimeString(const QString& timecode);
    void jumpSelectedTimeString(TextRange range);
    // A mouse click left the selection as it is now.
    void didClick();

    // Keys.
    KeyOutcome keyDown(const EditorKeyEvent& event);
    void keyUp(const EditorKeyEvent& event);
    bool handleKeyEvent(const EditorKeyEvent& event);
    // An arrow key moved the caret.
    void caretMovedByArrowKey();

    // The waveform's requests.
    void addSubtitleFromWaveForm(const SubtitleLinePtr& line);
    void deleteSubtitleTextFromTextView(const SubtitleLinePtr& line, bool forced);
    void updateSubtitleTextToTextView(const QString& text, const SubtitleLinePtr& line);
    void setHighlightSubtitle(const SubtitleLinePtr& line);
    void selectTimeCodeOfLine(const SubtitleLinePtr& line, bool start);
    qsizetype highlightLineNumber() const { return highlightLineNumber_; }

    bool isEndCodePaired() const { return isEndCodePaired_; }
    bool mode2Recording() const { return mode2Recording_; }
    bool typeAfterInputK() const { return typeAfterInputK_; }
    bool adjustingTimeCode() const { return adjustingTimeCode_; }

private:
    struct Code {
        TextRange range;
        bool isStart = false;
        bool isEnd = false;
    };
    std::vector<Code> allCodes() const;
    bool isSingleCode(TextRange range) const;
    MediaTime playbackTime() const;
    bool isPlaying() const;
    bool hasMovie() const;
    void didEdit(const EditOutcome& outcome);
    void rewriteCode(TextRange range, const MediaTime& time);
    void replaceSelection(const QString& text);
    bool handleMovieControlShortCut(const EditorKeyEvent& event);
    bool handleWaveFormZoomShortCut(const EditorKeyEvent& event);
    bool handleTimeCodeSelectionShortCut(const EditorKeyEvent& event);
    bool handleTimeCodeAdjustmentShortCut(const EditorKeyEvent& event);
    void selectAndJump(TextRange range);

    EditorTextBuffer& buffer_;
    MoviePlayerControl* player_ = nullptr;
    SubtitleTextViewDelegate* delegate_ = nullptr;
    SubtitleLinePtr currentEditingLine_;
    SubtitleLinePtr currentErrorSubtitleLine_;
    QStringList errorTimeCodes_;
    std::vector<TextRange> errorTimeCodeRanges_;
    bool error_ = false;
    int currentErrorIndex_ = 0;
    qsizetype highlightLineNumber_ = -1;
    bool isEndCodePaired_ = true;
    bool mode2Recording_ = false;
    bool typeAfterInputK_ = true;
    bool adjustingTimeCode_ = false;
    bool textChangedFromWaveForm_ = false;
    std::vector<ObserverGuard> observers_;
};
