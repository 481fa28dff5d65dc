#pragma once

#include "model/MediaTime.h"
#include "nle/XMLElementUtility.h"

#include <QString>

#include <optional>

// An FCP7 sequence document whose topmost video track carries the generator clips that the
// subtitles are cloned from. The first generator clip there is the template; every generator
// clip already on the track becomes one editor line.
struct FCP7SubtitleTemplate {
    XMLElementUtility::Document document;
    XMLElementUtility::Document templateElement; // a copy of the first generator clip
    QString seqName;                             // without an earlier " from Marquee" suffix
    bool isDropFrame = false;
    int32_t timebase = 0;
    float timebaseF = 0;
    MediaTime duration; // at timescale trunc(timebase)
    QString editorText; // one "[start]text[end]\n" line per generator clip

    // Nothing when the text is not an FCP7 sequence with a positive timebase and at least one
    // generator clip on its last video track. On success the shared frame rate becomes the
    // sequence's timebase (the editor lines are written at that rate).
    static std::optional<FCP7SubtitleTemplate> load(const QString& xml);

    QString xmlString() const;
};
