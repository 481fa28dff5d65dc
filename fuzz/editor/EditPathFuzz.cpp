#include "editor/SubtitleTextModel.h"
#include "model/MQTimeUtility.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Arbitrary insert and delete edits on the widget-free edit path: after each one the line list
// must match the text line for line, with each record equal to a fresh parse of its line.
//
// Input: a sequence of edits, each [op][position: 2 bytes][count][payload bytes…]. Payload bytes
// map onto characters that matter to the editor: "\n", "[", "]", digits, ":", ".", "⏎", letters.

namespace {

QChar editorChar(uint8_t byte) {
    static const char16_t alphabet[] = u"\n\n[]0123456789:..a ⏎\u00e9";
    return QChar(alphabet[byte % (sizeof(alphabet) / sizeof(alphabet[0]) - 1)]);
}

void checkInStep(const SubtitleTextModel& model) {
    const QString& text = model.text();
    const auto& lines = model.getAllSubtitles();
    if (qsizetype(lines.size()) != text.count(u'\n') + 1 ||
        model.lineCount() != qsizetype(lines.size())) {
        std::abort();
    }
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QString lineText = model.lineText(i).toString();
        if ((i > 0 && text[model.lineStart(i) - 1] != u'\n') || lineText.contains(u'\n')) {
            std::abort();
        }
        const auto fresh = model.parseText(lineText);
        if (lines[i]->text() != fresh->text() || lines[i]->startTime() != fresh->startTime() ||
            lines[i]->endTime() != fresh->endTime() ||
            lines[i]->getSubtitleLineString().size() != lineText.size()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MQTimeUtility::sharedInstance().setFPS(25);
    SubtitleTextModel model;
    size_t i = 0;
    while (i + 4 <= size) {
        const uint8_t op = data[i];
        const qsizetype position = (data[i + 1] | (data[i + 2] << 8)) % (model.text().size() + 1);
        const size_t count = data[i + 3] % 32;
        i += 4;
        if (op % 2 == 0) {
            QString inserted;
            for (size_t k = 0; k < count && i < size; ++k, ++i) {
                inserted += editorChar(data[i]);
            }
            model.applyEdit(position, 0, inserted);
        } else {
            model.applyEdit(position, qsizetype(count), QString());
        }
        checkInStep(model);
    }
    return 0;
}
