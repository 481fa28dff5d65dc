#include "editor/views/SubtitleTextView.h"

#include "editor/TextTools.h"
#include "model/MQStringUtility.h"

#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>

namespace {

QTextCharFormat timecodeFormat(bool error) {
    QTextCharFormat format;
    format.setForeground(QColor(4, 109, 255));
    format.setAnchor(true);
    if (error) {
        format.setBackground(Qt::red);
        format.setUnderlineColor(QColor(4, 109, 255));
    } else {
        format.setUnderlineColor(Qt::white);
    }
    return format;
}

QTextCharFormat highlightFormat() {
    QTextCharFormat format;
    format.setForeground(Qt::white);
    format.setBackground(QColor(59, 113, 227));
    return format;
}

QTextCharFormat returnFormat() {
    QTextCharFormat format;
    format.setForeground(Qt::red);
    return format;
}

} // namespace

// Paints one block from its line record and the display bits kept in the block's user state.
class SubtitleHighlighter : public QSyntaxHighlighter {
public:
    SubtitleHighlighter(QTextDocument* document, const SubtitleTextModel& model)
        : QSyntaxHighlighter(document), model_(model) {}

protected:
    void highlightBlock(const QString& text) override {
        const int bits = std::max(0, currentBlockState());
        const SubtitleLinePtr line = model_.lineAt(currentBlock().blockNumber());
        if (!line) {
            return;
        }
        const qsizetype startLength = line->isStartTimeValid() ? kTimecodeLength : 0;
        const qsizetype endLength = line->isEndTimeValid() ? kTimecodeLength : 0;
        if (startLength + endLength > text.size()) {
            return; // the block and the model disagree for a moment; the next pass fixes it
        }
        static const QTextCharFormat plainCode = timecodeFormat(false);
        static const QTextCharFormat errorCode = timecodeFormat(true);
        static const QTextCharFormat highlight = highlightFormat();
        static const QTextCharFormat marker = returnFormat();
        if (startLength) {
            setFormat(0, kTimecodeLength,
                      (bits & SubtitleTextView::StartError) ? errorCode : plainCode);
        }
        if (endLength) {
            setFormat(int(text.size() - kTimecodeLength), kTimecodeLength,
                      (bits & SubtitleTextView::EndError) ? errorCode : plainCode);
        }
        const int textStart = int(startLength);
        const int textLength = int(text.size() - startLength - endLength);
        if (bits & SubtitleTextView::Highlighted) {
            setFormat(textStart, textLength, highlight);
            return;
        }
        for (int i = textStart; i < textStart + textLength; ++i) {
            if (text[i] == QChar(TextTools::kReturnMarker)) {
                setFormat(i, 1, marker);
            }
        }
    }

private:
    const SubtitleTextModel& model_;
};

SubtitleTextView::SubtitleTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    document()->setDocumentMargin(5);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    setPalette(palette);
    // The model must follow an edit before the highlighter paints it: connected first.
    connect(document(), &QTextDocument::contentsChange, this,
            &SubtitleTextView::documentContentsChanged);
    highlighter_ = new SubtitleHighlighter(document(), model_);
    controller_ = std::make_unique<SubtitleEditorController>(*this);
    controller_->observeNotifications();
}

SubtitleTextView::~SubtitleTextView() {
    disconnect(document(), nullptr, this, nullptr);
    controller_.reset();
}

void SubtitleTextView::setTextViewDelegate(SubtitleTextViewDelegate* delegate) {
    delegate_ = delegate;
    controller_->setDelegate(delegate);
}

void SubtitleTextView::setString(const QString& text) {
    controller_->replaceAllText(MQStringUtility::normalizeEditorText(text));
}

void SubtitleTextView::documentContentsChanged(int position, int charsRemoved, int charsAdded) {
    (void)charsRemoved;
    // The document counts a final paragraph separator the text does not have, so the removed
    // length is worked out from the lengths on both sides.
    const qsizetype documentLength = document()->characterCount() - 1;
    const qsizetype modelLength = model_.text().size();
    const qsizetype added = std::clamp<qsizetype>(charsAdded, 0, documentLength - position);
    const qsizetype removed = modelLength - documentLength + added;
    if (position < 0 || removed < 0 || position + removed > modelLength) {
        QString all = toPlainText();
        didEdit(model_.applyEdit(0, modelLength, all));
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(int(position + added), QTextCursor::KeepAnchor);
    QString inserted = cursor.selectedText();
    inserted.replace(QChar::ParagraphSeparator, u'\n');
    if (removed == added && QStringView(model_.text()).mid(position, removed) == inserted) {
        return; // a format change only
    }
    didEdit(model_.applyEdit(position, removed, inserted));
}

TextRange SubtitleTextView::selectedRange() const {
    const QTextCursor cursor = textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

void SubtitleTextView::setSelectedRange(TextRange range) {
    const qsizetype size = model_.text().size();
    const qsizetype start = std::clamp<qsizetype>(range.location, 0, size);
    const qsizetype end = std::clamp<qsizetype>(range.end(), start, size);
    QTextCursor cursor(document());
    cursor.setPosition(int(start));
    cursor.setPosition(int(end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void SubtitleTextView::replaceCharacters(TextRange range, const QString& replacement) {
    const qsizetype size = model_.text().size();
    const qsizetype start = std::clamp<qsizetype>(range.location, 0, size);
    const qsizetype end = std::clamp<qsizetype>(range.end(), start, size);
    QTextCursor cursor(document());
    cursor.setPosition(int(start));
    cursor.setPosition(int(end), QTextCursor::KeepAnchor);
    cursor.insertText(replacement);
    setTextCursor(cursor);
}

int SubtitleTextView::styleOfLine(qsizetype index) const {
    const QTextBlock block = document()->findBlockByNumber(int(index));
    return block.isValid() ? std::max(0, block.userState()) : 0;
}

void SubtitleTextView::setLineStyle(qsizetype index, int bits) {
    QTextBlock block = document()->findBlockByNumber(int(index));
    if (!block.isValid() || std::max(0, block.userState()) == bits) {
        return;
    }
    block.setUserState(bits);
    highlighter_->rehighlightBlock(block);
}

void SubtitleTextView::restyleLines(qsizetype first, qsizetype count) {
    for (qsizetype i = first; i < first + count; ++i) {
        const SubtitleLinePtr line = model_.lineAt(i);
        if (!line) {
            break;
        }
        const int bits = (line->isStartTimeError ? StartError : 0) |
                         (line->isEndTimeError ? EndError : 0) |
                         (i == highlighted_ ? Highlighted : 0);
        setLineStyle(i, bits);
    }
}

void SubtitleTextView::applyOrderCheck(const TimecodeOrderCheck& check) {
    // Marks per line, then only the blocks whose marks changed are repainted.
    std::vector<int> bits(size_t(model_.lineCount()), 0);
    for (const TimecodeMark& mark : check.codes) {
        if (!mark.isError) {
            continue;
        }
        const qsizetype line = model_.lineIndexAtPosition(mark.range.location);
        bits[size_t(line)] |= mark.range.location == model_.lineStart(line) ? StartError : EndError;
    }
    highlighted_ = -1;
    qsizetype index = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && index < qsizetype(bits.size());
         block = block.next(), ++index) {
        if (std::max(0, block.userState()) != bits[size_t(index)]) {
            block.setUserState(bits[size_t(index)]);
            highlighter_->rehighlightBlock(block);
        }
    }
}

void SubtitleTextView::setHighlightLine(qsizetype index) {
    const qsizetype previous = highlighted_;
    highlighted_ = index;
    if (previous >= 0) {
        setLineStyle(previous, styleOfLine(previous) & ~Highlighted);
    }
    if (index >= 0) {
        setLineStyle(index, styleOfLine(index) | Highlighted);
    }
}

void SubtitleTextView::scrollRangeToVisible(TextRange range) {
    QTextCursor cursor(document());
    cursor.setPosition(int(std::clamp<qsizetype>(range.location, 0, model_.text().size())));
    const QTextCursor saved = textCursor();
    setTextCursor(cursor);
    ensureCursorVisible();
    setTextCursor(saved);
}

QString SubtitleTextView::keyString(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() &
        (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier);
    return QKeySequence(QKeyCombination(modifiers, Qt::Key(event.key())))
        .toString(QKeySequence::PortableText);
}

EditorKeyEvent SubtitleTextView::editorKeyEvent(const QKeyEvent& event) {
    return {event.key(), event.modifiers(), keyString(event), event.isAutoRepeat()};
}

void SubtitleTextView::keyPressEvent(QKeyEvent* event) {
    const KeyOutcome outcome = controller_->keyDown(editorKeyEvent(*event));
    if (outcome != KeyOutcome::PassOn) {
        event->accept();
        return;
    }
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn) {
        // A line break is always a new line of the text, never a soft break inside one.
        textCursor().insertText(QStringLiteral("\n"));
        ensureCursorVisible();
        return;
    }
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        event->accept(); // tabs are never part of the editor text
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    const int k = event->key();
    if (k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down) {
        controller_->caretMovedByArrowKey();
    }
}

void SubtitleTextView::keyReleaseEvent(QKeyEvent* event) {
    controller_->keyUp(editorKeyEvent(*event));
    QPlainTextEdit::keyReleaseEvent(event);
}

void SubtitleTextView::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    const TextRange selection = selectedRange();
    if (selection.length == 0) {
        // A click on a start or end code selects the whole code.
        const SubtitleLinePtr line = model_.getSubtitleLineWithRange(selection.location);
        for (bool start : {true, false}) {
            const TextRange code =
                line ? model_.findTimeCodeRangeOfSubtitleLine(line, start) : TextRange{};
            if (code.length > 0 && selection.location > code.location &&
                selection.location < code.end()) {
                setSelectedRange(code);
                break;
            }
        }
    }
    controller_->didClick();
}

void SubtitleTextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // While the movie plays the timing keys must keep reaching the editor, so a click on
    // another view of the window does not take the focus away. Dialogs and other windows may.
    const bool withinWindow = event->reason() == Qt::MouseFocusReason ||
                              event->reason() == Qt::TabFocusReason ||
                              event->reason() == Qt::BacktabFocusReason;
    if (withinWindow && delegate_ && !delegate_->shouldResignFirstResponder()) {
        QTimer::singleShot(0, this, [this] {
            if (window()->isActiveWindow()) {
                setFocus(Qt::OtherFocusReason);
            }
        });
    }
}

bool SubtitleTextView::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasUrls() || QPlainTextEdit::canInsertFromMimeData(source);
}

static bool hasLocalFiles(const QMimeData* source) {
    if (!source->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = source->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

bool SubtitleTextView::handOverFiles(const QMimeData* source) {
    if (!hasLocalFiles(source)) {
        return false;
    }
    for (const QUrl& url : source->urls()) {
        if (url.isLocalFile() && delegate_) {
            delegate_->didDragFileIntoTextView(url.toLocalFile());
        }
    }
    return true;
}

void SubtitleTextView::dragEnterEvent(QDragEnterEvent* event) {
    if (hasLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void SubtitleTextView::dragMoveEvent(QDragMoveEvent* event) {
    if (hasLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void SubtitleTextView::dropEvent(QDropEvent* event) {
    if (handOverFiles(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

void SubtitleTextView::insertFromMimeData(const QMimeData* source) {
    if (handOverFiles(source)) {
        return;
    }
    if (source->hasText()) {
        textCursor().insertText(MQStringUtility::normalizeEditorText(source->text()));
        ensureCursorVisible();
    }
}
