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

// `line` with every space removed, into `out` (whose capacity is kept from line to line).
void removeSpaces(QStringView line, QString& out) {
    out.resize(line.size());
    QChar* const kept = out.data();
    qsizetype count = 0;
    for (QChar c : line) {
        if (c != u' ') {
            kept[count++] = c;
        }
    }
    out.truncate(count);
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
// half away from zero without any carry into the seconds; written into `out`.
void editorTime(QStringView clock, QStringView milliseconds, float fps, QString& out) {
    const float frames = float(leadingNumber(milliseconds)) * fps / 1000.0f;
    out.truncate(0);
    out += clock;
    out += u'.';
    appendPaddedNumber(out, std::lround(frames), 2);
}

// Characters that the pattern's "." does not match.
bool isLineTerminatorOrSurrogate(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029 ||
           (c >= 0xD800 && c <= 0xDFFF);
}

// The common timing line decided without the regular expression: exactly the 29 characters of
// one "HH:MM:SS,mmm-->HH:MM:SS,mmm", which can hold no second match.
bool isPlainTimingLine(QStringView line) {
    static constexpr char kShape[] = "..:..:..,...-->..:..:..,...";
    constexpr qsizetype kLength = sizeof kShape - 1;
    if (line.size() != kLength) {
        return false;
    }
    for (qsizetype i = 0; i < kLength; ++i) {
        const char16_t c = line[i].unicode();
        if (kShape[i] == '.' ? isLineTerminatorOrSurrogate(c) : c != char16_t(kShape[i])) {
            return false;
        }
    }
    return true;
}

// `text` without white space and newlines at either end.
QStringView trimmedView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && MQStringUtility::isWhitespaceOrNewline(text[begin])) {
        ++begin;
    }
    while (end > begin && MQStringUtility::isWhitespaceOrNewline(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

// The trimmed non-empty lines of a text, one at a time, as views into it: the same pieces as the
// line splitter gives, without holding them all.
class TextLines {
public:
    explicit TextLines(QStringView text) : text_(text) {}

    bool next(QStringView& line) {
        while (start_ <= text_.size()) {
            qsizetype end = start_;
            while (end < text_.size() && text_[end] != u'\n' && text_[end] != u'\r') {
                ++end;
            }
            line = trimmedView(text_.mid(start_, end - start_));
            start_ = end + 1;
            if (!line.isEmpty()) {
                return true;
            }
        }
        return false;
    }

private:
    QStringView text_;
    qsizetype start_ = 0;
};

// Lines handed over as a list.
class ListLines {
public:
    explicit ListLines(const QStringList& lines) : lines_(lines) {}

    bool next(QStringView& line) {
        if (index_ >= lines_.size()) {
            return false;
        }
        line = lines_[index_++];
        return true;
    }

private:
    const QStringList& lines_;
    qsizetype index_ = 0;
};

class SrtToEditor {
public:
    explicit SrtToEditor(float fps) : fps_(fps) {}

    // Appends each converted cue to `out`, separated by "\n".
    template <typename Lines> void run(Lines lines, QString& out) {
        enum class Mode { InText, ExpectTiming, AfterTiming } mode = Mode::InText;
        QStringView line;
        QStringView next;
        bool hasLine = lines.next(line);
        bool hasNext = hasLine && lines.next(next);
        for (; hasLine; line = next, hasLine = hasNext, hasNext = hasNext && lines.next(next)) {
            if (mode == Mode::InText && isDigitsOnly(line)) {
                if (!hasNext) {
                    continue;
                }
                removeSpaces(next, timing_);
                if (SRTFile::isTimecodeString(timing_)) {
                    emitCue(out);
                    start_.truncate(0);
                    end_.truncate(0);
                    text_.truncate(0);
                    mode = Mode::ExpectTiming;
                } else {
                    text_ += u'\n';
                    text_ += line;
                }
                continue;
            }
            if (mode == Mode::ExpectTiming) {
                // `timing_` still holds this line without its spaces, from the check above.
                const QStringView t(timing_);
                editorTime(t.mid(0, 8), t.mid(9, 3), fps_, start_);
                editorTime(t.mid(15, 8), t.mid(24, 3), fps_, end_);
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
        const qsizetype textStart = out.size();
        out += text_;
        QChar* const text = out.data() + textStart;
        for (qsizetype i = 0; i < text_.size(); ++i) {
            if (text[i] == u'\n') {
                text[i] = QChar(kReturnSymbol);
            }
        }
        out += u'[';
        out += end_;
        out += u']';
    }

    const float fps_;
    QString timing_;
    QString start_;
    QString end_;
    QString text_;
};

} // namespace

QString SRTFile::loadFile(const QString& filePath) {
    path = filePath;
    text = TextFileReader::getContentFromURL(filePath);
    text.replace(u'\r', u'\n');
    return text;
}

bool SRTFile::isTimecodeString(const QString& line) {
    if (isPlainTimingLine(line)) {
        return true;
    }
    static const Regex timing(QStringLiteral("(..):(..):(..),(...)-->(..):(..):(..),(...)"));
    return timing.countMatches(line) == 1;
}

QStringList SRTFile::generateSRTLines(const QStringList& lines, float fps) {
    QString joined;
    SrtToEditor(fps).run(ListLines(lines), joined);
    return joined.isEmpty() ? QStringList() : joined.split(u'\n');
}

QString SRTFile::convertToText(const QString& srtText, float fps) {
    if (trimmedView(srtText).size() <= 15) {
        return QString();
    }
    QString out;
    // An editor line is a little shorter than the cue it comes from; untouched capacity costs
    // no memory.
    out.reserve(srtText.size());
    SrtToEditor(fps).run(TextLines(srtText), out);
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
