#pragma once

#include "editor/SubtitleTextModel.h"
#include "editor/TimecodeCheck.h"

#include <functional>

// What the editor operations need of a text editor: the model kept in step with its text, a
// selection, and replacing a range through the edit path. The widget implements it over its
// document; MemoryTextBuffer implements it without one.
class EditorTextBuffer {
public:
    using EditListener = std::function<void(const EditOutcome&)>;

    virtual ~EditorTextBuffer() = default;

    virtual SubtitleTextModel& model() = 0;
    const QString& text() { return model().text(); }

    virtual TextRange selectedRange() const = 0;
    virtual void setSelectedRange(TextRange range) = 0;
    // Replaces the range through the edit path; the caret ends after the new text.
    virtual void replaceCharacters(TextRange range, const QString& replacement) = 0;

    // Display hooks; a buffer without a display ignores them.
    // Lines [first, first + count) have new error flags or a new highlight.
    virtual void restyleLines(qsizetype first, qsizetype count) { (void)first, (void)count; }
    // A full restyle: the codes marked by the order check.
    virtual void applyOrderCheck(const TimecodeOrderCheck& check) { (void)check; }
    virtual void setHighlightLine(qsizetype index) { (void)index; }
    virtual void scrollRangeToVisible(TextRange range) { (void)range; }

    // Called after every edit that reached the model, whatever its origin.
    void setEditListener(EditListener listener) { editListener_ = std::move(listener); }

protected:
    void didEdit(const EditOutcome& outcome) {
        if (editListener_) {
            editListener_(outcome);
        }
    }

private:
    EditListener editListener_;
};

// The buffer without a widget: the command line, the tests and the fuzz target use it.
class MemoryTextBuffer : public EditorTextBuffer {
public:
    SubtitleTextModel& model() override { return model_; }
    TextRange selectedRange() const override { return selection_; }
    void setSelectedRange(TextRange range) override;
    void replaceCharacters(TextRange range, const QString& replacement) override;

private:
    SubtitleTextModel model_;
    TextRange selection_;
};
