#include "model/Subtitle.h"

#include "model/SubtitleLine.h"

namespace {
Subtitle::Loader& loader() {
    static Subtitle::Loader instance;
    return instance;
}
} // namespace

SubtitleFormatPtr Subtitle::loadSubtitle(const QString& path, bool isBatchMode) {
    if (!loader()) {
        return nullptr;
    }
    return loader()(*this, path, isBatchMode);
}

void Subtitle::setLoader(Loader newLoader) {
    loader() = std::move(newLoader);
}

bool Subtitle::calculateTimeCodesFromFrameNumbers(double rate) {
    if (!format || format->isTimeBased()) {
        return false;
    }
    for (const auto& line : subtitles) {
        line->calculateTimeCodesFromFrameNumbers(rate);
    }
    return true;
}

void Subtitle::renumber(int64_t first) {
    for (const auto& line : subtitles) {
        line->number = first++;
    }
}

QString Subtitle::getTextViewDisplayString() const {
    QString out;
    for (const auto& line : subtitles) {
        QString s = line->getSubtitleLineString();
        s.replace(u'\n', QChar(kReturnSymbol));
        out += s;
        out += u'\n';
    }
    if (!out.isEmpty()) {
        out.chop(1);
    }
    return out;
}
