#pragma once

// moc does not parse the standard headers these reach.
#ifndef Q_MOC_RUN
#include "editor/EditorTextBuffer.h"
#include "editor/SubtitleEditorController.h"
#endif

#include <QPlainTextEdit>

#include <memory>

class SubtitleHighlighter;

// The editor view. Every change of its document, whatever made it (typing, paste, input
// methods, undo and redo, drops, tools, the waveform), runs the edit path of its model, so the
// line list always matches the text line for line. Styling is per block and only the blocks
// an edit touches are restyled.
class SubtitleTextView : public QPlainTextEdit, public EditorTextBuffer {
    Q_OBJECT
public:
    explicit SubtitleTextView(QWidget* parent = nullptr);
    ~SubtitleTextView() override;

    SubtitleTextModel& model() override { return model_; }
    SubtitleEditorController& editor() { return *controller_; }
    void setTextViewDelegate(SubtitleTextViewDelegate* delegate);

    // Replaces the whole text (normalised) in one undoable step, as an import does.
    void setString(const QString& text);

    TextRange selectedRange() const override;
    void setSelectedRange(TextRange range) override;
    void replaceCharacters(TextRange range, const QString& replacement) override;
    void restyleLines(qsizetype first, qsizetype count) override;
    void applyOrderCheck(const TimecodeOrderCheck& check) override;
    void setHighlightLine(qsizetype index) override;
    void scrollRangeToVisible(TextRange range) override;

    // The display state of a line: which codes show as errors, and whether it is highlighted.
    enum StyleBits { StartError = 1, EndError = 2, Highlighted = 4 };
    int styleOfLine(qsizetype index) const;

    // The key text the shortcut settings compare with ("Ctrl+K", "Space", "Return").
    static QString keyString(const QKeyEvent& event);
    // The key press as the editor's key handler takes it.
    static EditorKeyEvent editorKeyEvent(const QKeyEvent& event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Dropped files go to the delegate, even while the text is read-only.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;

private:
    void documentContentsChanged(int position, int charsRemoved, int charsAdded);
    void setLineStyle(qsizetype index, int bits);
    // Hands every local file of `source` to the delegate; false when it holds none.
    bool handOverFiles(const QMimeData* source);

    SubtitleTextModel model_;
    std::unique_ptr<SubtitleEditorController> controller_;
    SubtitleHighlighter* highlighter_ = nullptr;
    SubtitleTextViewDelegate* delegate_ = nullptr;
    qsizetype highlighted_ = -1;
};
