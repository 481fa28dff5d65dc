#include "editor/EditorTextBuffer.h"

#include <algorithm>

void MemoryTextBuffer::setSelectedRange(TextRange range) {
    const qsizetype size = model_.text().size();
    range.location = std::clamp<qsizetype>(range.location, 0, size);
    range.length = std::clamp<qsizetype>(range.length, 0, size - range.location);
    selection_ = range;
}

void MemoryTextBuffer::replaceCharacters(TextRange range, const QString& replacement) {
    const qsizetype size = model_.text().size();
    range.location = std::clamp<qsizetype>(range.location, 0, size);
    range.length = std::clamp<qsizetype>(range.length, 0, size - range.location);
    const EditOutcome outcome = model_.applyEdit(range.location, range.length, replacement);
    selection_ = {range.location + replacement.size(), 0};
    didEdit(outcome);
}
