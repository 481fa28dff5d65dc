#pragma once

#include "model/SubtitleFormat.h"
#include "model/SubtitleLine.h"

#include <QString>

#include <functional>

// A subtitle document read from a file: the recognising format, header, footer and lines.
class Subtitle {
public:
    // Reads a file and fills the document; returns the recognising format or nullptr.
    using Loader = std::function<SubtitleFormatPtr(Subtitle&, const QString& path, bool batchMode)>;

    Subtitle() = default;

    SubtitleFormatPtr loadSubtitle(const QString& path) { return loadSubtitle(path, false); }
    SubtitleFormatPtr loadSubtitle(const QString& path, bool isBatchMode);
    // The file formats install the loader when they are linked in.
    static void setLoader(Loader loader);

    // Converts frame numbers to times when the format is not time based.
    bool calculateTimeCodesFromFrameNumbers(double rate);
    void renumber(int64_t first);
    // One editor line per subtitle, "\n" inside a text shown as "⏎".
    QString getTextViewDisplayString() const;

    SubtitleFormatPtr format;
    bool wasLoadedWithFrameNumbers = false;
    QString header;
    QString footer;
    QString fileUrl;
    QString filename = QStringLiteral("Untitled");
    SubtitleLineList subtitles;
};

// The character that stands for a line break inside an editor line.
inline constexpr char16_t kReturnSymbol = u'\u23CE';
