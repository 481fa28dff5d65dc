#include "formats/SRTFile.h"

#include "model/ApplicationInfo.h"

#include "formats/NumberFormat.h"
#include "formats/TextFileReader.h"
#include "model/MQStringUtility.h"
#include "model/Regex.h"
#include "model/Subtitle.h"

#include <cmath>

namespace {

bool isDigitsOnly(QStringView line) {
    if (line.isEmpty()) {
        return false;
    }
    for (QChar c : line) {
        // The same class as the regular expression \d (decimal digits of any script).
        if (!c.isDigit()) {
            return false;
        }
    }
    return true;
}

QString withoutSpaces(QStringView line) {
    QString out;
    out.reserve(line.size());
    for (QChar c : line) {
        if (c != u' ') {
            out += c;
        }
    }
    return out;
}

// The leading decimal number of a field ("040" → 40; reading stops at the first character that
// cannot continue the number).
double leadingNumber(QStringView field) {
    qsizetype i = 0;
    while (i < field.size() && MQStringUtility::isWhitespace(field[i])) {
        ++i;
    }
    double sign = 1;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
        sign = field[i] == u'-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    while (i < field.size() && field[i] >= u'0' && field[i] <= u'9') {
        value = value * 10 + (field[i].unicode() - u'0');
        ++i;
    }
    if (i < field.size() && field[i] == u'.') {
        double scale = 0.1;
        for (++i; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
            value += (field[i].unicode() - u'0') * scale;
            scale /= 10;
        }
    }
    return sign * value;
}

// HH:MM:SS as written, a point and the millisecond field as a frame number at `fps`, rounded
// half away from zero without any carry into the seconds.
QString editorTime(QStringView clock, QStringView milliseconds, float fps) {
    const float frames = float(leadingNumber(milliseconds)) * fps / 1000.0f;
    QString out = clock.toString();
    out += u'.';
    appendPaddedNumber(out, std::lround(frames), 2);
    return out;
}

class SrtToEditor {
public:
    SrtToEditor(const std::vector<QStringView>& lines, float fps) : lines_(lines), fps_(fps) {}

    // Appends each converted cue to `out`, separated by "\n".
    void run(QString& out) {
        enum class Mode { InText, ExpectTiming, AfterTiming } mode = Mode::InText;
        const qsizetype count = qsizetype(lines_.size());
        for (qsizetype i = 0; i < count; ++i) {
            const QStringView line = lines_[size_t(i)];
            if (mode == Mode::InText && isDigitsOnly(line)) {
                if (i == count - 1) {
                    continue;
                }
                if (SRTFile::isTimecodeString(withoutSpaces(lines_[size_t(i + 1)]))) {
                    emitCue(out);
                    start_.clear();
                    end_.clear();
                    text_.clear();
                    mode = Mode::ExpectTiming;
                } else {
                    text_ += u'\n';
                    text_ += line;
                }
                continue;
            }
            if (mode == Mode::ExpectTiming) {
                const QString timing = withoutSpaces(line);
                const QStringView t(timing);
                start_ = editorTime(t.mid(0, 8), t.mid(9, 3), fps_);
                end_ = editorTime(t.mid(15, 8), t.mid(24, 3), fps_);
                mode = Mode::AfterTiming;
                continue;
            }
            if (!text_.isEmpty()) {
                text_ += u'\n';
            }
            text_ += line;
            mode = Mode::InText;
        }
        emitCue(out);
    }

private:
    void emitCue(QString& out) {
        if (start_.isEmpty() || end_.isEmpty() || text_.isEmpty()) {
            return;
        }
        if (!out.isEmpty()) {
            out += u'\n';
        }
        out += u'[';
        out += start_;
        out += u']';
        text_.replace(u'\n', QChar(kReturnSymbol));
        out += text_;
        out += u'[';
        out += end_;
        out += u']';
    }

    const std::vector<QStringView>& lines_;
    const float fps_;
    QString start_;
    QString end_;
    QString text_;
};

// Trimmed non-empty lines as views into `text`; the same pieces as the line splitter gives.
std::vector<QStringView> lineViews(QStringView text) {
    std::vector<QStringView> views;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
            QStringView piece = text.mid(start, i - start);
            qsizetype b = 0;
            qsizetype e = piece.size();
            while (b < e && MQStringUtility::isWhitespaceOrNewline(piece[b])) {
                ++b;
            }
            while (e > b && MQStringUtility::isWhitespaceOrNewline(piece[e - 1])) {
                --e;
            }
            if (e > b) {
                views.push_back(piece.mid(b, e - b));
            }
            start = i + 1;
        }
    }
    return views;
}

} // namespace

QString SRTFile::loadFile(const QString& filePath) {
    path = filePath;
    text = TextFileReader::getContentFromURL(filePath);
    text.replace(u'\r', u'\n');
    return text;
}

bool SRTFile::isTimecodeString(const QString& line) {
    static const Regex timing(QStringLiteral("(..):(..):(..),(...)-->(..):(..):(..),(...)"));
    return timing.countMatches(line) == 1;
}

QStringList SRTFile::generateSRTLines(const QStringList& lines, float fps) {
    std::vector<QStringView> views(lines.begin(), lines.end());
    QString joined;
    SrtToEditor(views, fps).run(joined);
    return joined.isEmpty() ? QStringList() : joined.split(u'\n');
}

QString SRTFile::convertToText(const QString& srtText, float fps) {
    if (MQStringUtility::trimWhitespaceAndNewlines(srtText).size() <= 15) {
        return QString();
    }
    const std::vector<QStringView> lines = lineViews(srtText);
    QString out;
    SrtToEditor(lines, fps).run(out);
    return out;
}

QString SRTFile::cannotReadMessage(const QString& fileName) {
    return QStringLiteral(
               "Can not read the srt file : %1.\nPlease use TextEdit to open it and copy all the  "
               "content, then make a new file and paste the content. Then Make Plain Text with "
               "UTF-8 Encoding and save it with *.srt extention and try again. You can send an "
               "email with SRT file attached to ")
               .arg(fileName) +
           ApplicationInfo::kSupportAddress;
}

QString SRTFile::cannotTranslateMessage(const QString& fileName) {
    return QStringLiteral("Can not translate the srt file : %1.\nThis SRT is probably not a "
                          "standard SRT file. Please check it. You can send an email with SRT "
                          "file attached to ")
               .arg(fileName) +
           ApplicationInfo::kSupportAddress;
}
