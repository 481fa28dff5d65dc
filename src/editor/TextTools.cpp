#include "editor/TextTools.h"

#include "editor/SubtitleTextModel.h"
#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"

namespace TextTools {

QString removeEmptyLinesFromString(const QString& text) {
    return MQStringUtility::linesFromText(text).join(u'\n');
}

QString convertToBilingual(const QString& text) {
    QString result = removeEmptyLinesFromString(text);
    bool odd = true;
    for (QChar& c : result) {
        if (c == u'\n' || c == u'\r') {
            if (odd) {
                c = QChar(kReturnMarker);
            }
            odd = !odd;
        }
    }
    return result;
}

CutResult cutLines(const QString& text, bool cutOdd) {
    CutResult result;
    const QStringList lines = MQStringUtility::linesFromText(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool isOdd = i % 2 == 0; // numbered from 1
        QString& target = isOdd == cutOdd ? result.cut : result.kept;
        target += lines[i];
        target += u'\n';
    }
    return result;
}

QString convertPunctuationToReturn(const QString& text) {
    static const QString punctuation = QStringLiteral(";,\u3002\uFF1B\uFF0C\uFF1A");
    static const Regex beforeCode(QStringLiteral("[;,\u3002\uFF1B\uFF0C\uFF1A]+\\["));
    static const Regex run(QStringLiteral("[;,\u3002\uFF1B\uFF0C\uFF1A]+"));
    QString result;
    result.reserve(text.size() + 16);
    for (const QString& piece : text.split(u'\n')) {
        QString line = MQStringUtility::trimCharacters(piece, punctuation);
        line = beforeCode.replaceAll(line, QStringLiteral("["));
        line = run.replaceAll(line, QStringLiteral("\n"));
        result += line;
        result += u'\n';
    }
    return result;
}

QString convertTimeCodeFormat(const QString& text) {
    static const Regex code(QStringLiteral(
        "[\\[\\{\\(<]?(\\d{2})[:\\.\\,\\;\\-\\*\\&\\^\\%\\$\\#\\@\\!\\~\\?\\<\\>\\'\\/' \\\\]{1}"
        "(\\d{2})[:\\.\\,\\;\\-\\*\\&\\^\\%\\$\\#\\@\\!\\~\\?\\<\\>\\'\\/' \\\\]{1}"
        "(\\d{2})[:\\.\\,\\;\\-\\*\\&\\^\\%\\$\\#\\@\\!\\~\\?\\<\\>\\'\\/' \\\\]{1}"
        "(\\d{2})[\\]\\}\\)>]?"));
    static const Regex doubleSlash(QStringLiteral("\\/\\/"));
    const QString converted = code.replaceAll(text, QStringLiteral("[$1:$2:$3.$4]"));
    return doubleSlash.replaceAll(converted, QString(QChar(kReturnMarker)));
}

std::optional<QString> lineQuantityMismatch(const QString& originalText, const QString& pasted) {
    const auto original = MQStringUtility::linesFromText(originalText).size();
    const auto replacement = MQStringUtility::linesFromText(pasted).size();
    if (original == replacement) {
        return std::nullopt;
    }
    return QStringLiteral("The line quantity of oringal %1 is not the same as replace text %2")
        .arg(original)
        .arg(replacement);
}

QString getReplaceText(const QString& pasted) {
    return MQStringUtility::linesFromText(pasted).join(u'\n');
}

QString getConsolidateText(const QString& originalText, const QString& pasted) {
    const QStringList existing = MQStringUtility::linesFromText(originalText);
    const QStringList added = MQStringUtility::linesFromText(pasted);
    QStringList pairs;
    for (qsizetype i = 0; i < existing.size(); ++i) {
        pairs.append(existing[i] + u'\n' + added.value(i));
    }
    return pairs.join(u'\n');
}

QString pasteTextOnly(const QString& selected, const QString& texts) {
    static const Regex timedLine(
        QStringLiteral("^\\[[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2,3}\\][^\\[]*"
                       "\\[[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2,3}\\]$"));
    static const Regex codePattern(QStringLiteral("\\[[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2,3}\\]"));
    const QStringList replacements = texts.split(u'\n');
    qsizetype next = 0;
    QString result;
    for (const QString& line : selected.split(u'\n')) {
        if (next < replacements.size() && timedLine.matches(line)) {
            const auto first = codePattern.firstMatch(line);
            const auto codes = codePattern.allMatches(line);
            const QString startCode = first->captured();
            const QString endCode = codes.back().captured();
            result += startCode + replacements[next++] + endCode;
        } else {
            result += line;
        }
        result += u'\n';
    }
    return result;
}

QString pasteTimeCodeOnly(const QString& selected, const QString& codes) {
    QStringList found;
    for (const auto& m : editorTimecodePattern().allMatches(codes)) {
        found.append(m.captured());
    }
    const QStringList texts = deleteTimecodes(selected).split(u'\n');
    qsizetype nextText = 0;
    QString result;
    for (qsizetype i = 0; i < found.size(); i += 2) {
        result += found[i];
        if (nextText < texts.size()) {
            result += texts[nextText++];
        }
        if (i + 1 < found.size()) {
            result += found[i + 1];
        }
        // An unpaired last In code still ends its line, so left-over texts stay lines of their own.
        result += u'\n';
    }
    for (; nextText < texts.size(); ++nextText) {
        result += texts[nextText];
        result += u'\n';
    }
    return result;
}

QString shiftTimecodes(const QString& text, const MediaTime& offset, bool increase) {
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    QString result;
    result.reserve(text.size());
    qsizetype copied = 0;
    editorTimecodePattern().forEachMatch(text, [&](const Regex::Match& m) {
        result += QStringView(text).mid(copied, m.start() - copied);
        const MediaTime t = tu.cmTimeFromTimeString(m.captured());
        MediaTime moved;
        if (increase) {
            moved = t + offset;
        } else {
            moved = t < offset ? MediaTime::zero() : t - offset;
        }
        result += tu.timeStringFromCMTime(moved);
        copied = m.end();
        return true;
    });
    result += QStringView(text).mid(copied);
    return result;
}

QString deleteTimecodes(const QString& text) {
    return editorTimecodePattern().replaceAll(text, QString());
}

} // namespace TextTools
