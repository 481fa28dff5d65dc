#include "nle/FCP7SubtitleTemplate.h"

#include "model/MQTimeUtility.h"

#include <cmath>

using namespace XMLElementUtility;

namespace {

const QString kMarqueeSuffix = QStringLiteral(" from Marquee");
const QChar kLineBreakMark(0x23CE);

// FCP7 counts drop-frame positions with the frames it skips; the editor needs real frames.
int64_t undropFrames(int64_t frames, int32_t timebase) {
    if (timebase == 30) {
        return frames + 2 * (frames / 2000);
    }
    if (timebase == 60) {
        return frames + 4 * (frames / 4000);
    }
    return frames;
}

QString generatorText(const pugi::xml_node& generator) {
    QString value;
    for (const pugi::xpath_node& parameter : nodes(generator, "effect/parameter")) {
        if (childText(parameter.node(), "parameterid") == QLatin1String("str")) {
            value = childText(parameter.node(), "value");
        }
    }
    // A break inside one subtitle must not split the editor line.
    value.replace(QStringLiteral("\r\n"), QString(kLineBreakMark));
    value.replace(u'\r', kLineBreakMark);
    value.replace(u'\n', kLineBreakMark);
    return value;
}

} // namespace

std::optional<FCP7SubtitleTemplate> FCP7SubtitleTemplate::load(const QString& xml) {
    FCP7SubtitleTemplate loaded;
    loaded.document = parseDocument(xml);
    if (!loaded.document) {
        return std::nullopt;
    }
    const pugi::xml_node root = loaded.document->document_element();
    loaded.seqName = childText(root, "sequence/name");
    if (const qsizetype cut = loaded.seqName.indexOf(kMarqueeSuffix); cut >= 0) {
        loaded.seqName.truncate(cut);
    }
    loaded.isDropFrame = childText(root, "sequence/timecode/displayformat") == QLatin1String("DF");
    loaded.timebase = childInt(root, "sequence/rate/timebase");
    loaded.timebaseF = float(childDouble(root, "sequence/rate/timebase"));
    if (loaded.timebaseF <= 0) {
        return std::nullopt;
    }
    const double duration = childDouble(root, "sequence/duration");
    loaded.duration = MediaTime(int64_t(duration), int32_t(loaded.timebaseF));

    const pugi::xpath_node_set tracks = nodes(root, "sequence/media/video/track");
    if (tracks.empty()) {
        return std::nullopt;
    }
    const pugi::xml_node track = tracks[tracks.size() - 1].node();
    if (!track.child("generatoritem")) {
        return std::nullopt;
    }

    MQTimeUtility& time = MQTimeUtility::sharedInstance();
    time.setFPS(loaded.timebaseF);
    const int32_t timescale = time.timescale();
    for (pugi::xml_node generator = track.child("generatoritem"); generator;
         generator = generator.next_sibling("generatoritem")) {
        if (!loaded.templateElement) {
            loaded.templateElement = copyElement(generator);
        }
        int64_t start = childInt(generator, "start");
        int64_t end = childInt(generator, "end");
        if (loaded.isDropFrame) {
            start = undropFrames(start, loaded.timebase);
            end = undropFrames(end, loaded.timebase);
        }
        const QString startCode =
            time.timeStringFromCMTime(MediaTime::fromSeconds(start / loaded.timebaseF, timescale));
        const QString endCode =
            time.timeStringFromCMTime(MediaTime::fromSeconds(end / loaded.timebaseF, timescale));
        loaded.editorText += startCode + generatorText(generator) + endCode + u'\n';
    }
    return loaded;
}

QString FCP7SubtitleTemplate::xmlString() const {
    return document ? serialize(*document) : QString();
}
