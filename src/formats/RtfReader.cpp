#include "formats/ScriptReaders.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

// Groups deeper than this are refused: no real document comes close.
constexpr int kMaxDepth = 512;

struct GroupState {
    bool skip = false;
    int unicodeSkipCount = 1;
};

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Destinations whose content is not document text.
bool isSkippedDestination(const QByteArray& word) {
    static const char* const kSkipped[] = {
        "fonttbl",
        "colortbl",
        "stylesheet",
        "info",
        "pict",
        "object",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "fldinst",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "generator",
        "xmlnstbl",
        "themedata",
        "colorschememapping",
        "datastore",
        "latentstyles",
        "filetbl",
        "bkmkstart",
        "bkmkend",
        "nonshppict",
        "shppict",
        "objdata",
        "atnid",
        "atnauthor",
        "pgdsctbl",
    };
    for (const char* name : kSkipped) {
        if (word == name) {
            return true;
        }
    }
    return false;
}

QString symbolForWord(const QByteArray& word) {
    static const std::map<QByteArray, QString> kSymbols = {
        {"par", QStringLiteral("\n")},         {"line", QStringLiteral("\n")},
        {"sect", QStringLiteral("\n")},        {"page", QStringLiteral("\n")},
        {"row", QStringLiteral("\n")},         {"tab", QStringLiteral("\t")},
        {"cell", QStringLiteral("\t")},        {"emdash", QString(QChar(0x2014))},
        {"endash", QString(QChar(0x2013))},    {"lquote", QString(QChar(0x2018))},
        {"rquote", QString(QChar(0x2019))},    {"ldblquote", QString(QChar(0x201C))},
        {"rdblquote", QString(QChar(0x201D))}, {"bullet", QString(QChar(0x2022))},
        {"emspace", QString(QChar(0x2003))},   {"enspace", QString(QChar(0x2002))},
    };
    const auto it = kSymbols.find(word);
    return it == kSymbols.end() ? QString() : it->second;
}

class RtfParser {
public:
    explicit RtfParser(const QByteArray& bytes) : in_(bytes) {}

    QString run() {
        if (!in_.startsWith("{\\rtf")) {
            return QString();
        }
        std::vector<GroupState> stack;
        GroupState state;
        bool started = false;
        qsizetype i = 0;
        const qsizetype n = in_.size();
        while (i < n) {
            const char c = in_[i];
            if (c == '{') {
                if (int(stack.size()) >= kMaxDepth) {
                    return QString();
                }
                stack.push_back(state);
                started = true;
                ++i;
            } else if (c == '}') {
                if (stack.empty()) {
                    return QString();
                }
                flushBytes();
                state = stack.back();
                stack.pop_back();
                ++i;
                if (stack.empty()) {
                    break; // the document group is closed; anything after it is not RTF
                }
            } else if (c == '\\') {
                i = controlAt(i, state);
                if (i < 0) {
                    return QString();
                }
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                if (!state.skip) {
                    appendByte(c); // plain text is in the document's code page too
                }
                ++i;
            }
        }
        if (!started || !stack.empty()) {
            return QString();
        }
        flushBytes();
        return out_;
    }

private:
    // Reads the control word or symbol at `i`; returns the position after it, -1 when malformed.
    qsizetype controlAt(qsizetype i, GroupState& state) {
        const qsizetype n = in_.size();
        if (i + 1 >= n) {
            return -1;
        }
        const char next = in_[i + 1];
        if (!isAsciiLetter(next)) {
            return controlSymbolAt(i, state);
        }
        qsizetype j = i + 1;
        while (j < n && isAsciiLetter(in_[j]) && j - i <= 32) {
            ++j;
        }
        const QByteArray word = in_.mid(i + 1, j - i - 1);
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (j < n && in_[j] == '-') {
            negative = true;
            ++j;
        }
        while (j < n && isAsciiDigit(in_[j])) {
            hasParameter = true;
            if (parameter < 100000000) {
                parameter = parameter * 10 + (in_[j] - '0');
            }
            ++j;
        }
        if (negative) {
            parameter = -parameter;
        }
        if (j < n && in_[j] == ' ') {
            ++j;
        }
        applyWord(word, hasParameter, parameter, state);
        if (word == "bin" && hasParameter && parameter > 0) {
            j += std::min<qsizetype>(parameter, n - j); // raw binary data
        }
        return j;
    }

    qsizetype controlSymbolAt(qsizetype i, GroupState& state) {
        const char symbol = in_[i + 1];
        switch (symbol) {
        case '\'': {
            const int hi = hexValue(byteAt(i + 2));
            const int lo = hexValue(byteAt(i + 3));
            if (hi < 0 || lo < 0) {
                return -1;
            }
            if (!state.skip) {
                appendByte(char(hi * 16 + lo));
            }
            return i + 4;
        }
        case '*':
            pendingStarredDestination_ = true;
            return i + 2;
        case '\\':
        case '{':
        case '}':
            emitText(QString(QLatin1Char(symbol)), state);
            return i + 2;
        case '~':
            emitText(QString(QChar(0x00A0)), state);
            return i + 2;
        case '_':
            emitText(QString(QChar(0x2011)), state);
            return i + 2;
        case '\r':
        case '\n':
            emitText(QStringLiteral("\n"), state);
            return i + 2;
        default:
            return i + 2; // \- optional hyphen, \| and other symbols give no text
        }
    }

    void applyWord(const QByteArray& word, bool hasParameter, long long parameter,
                   GroupState& state) {
        const bool starred = pendingStarredDestination_;
        pendingStarredDestination_ = false;
        if (starred || isSkippedDestination(word)) {
            state.skip = true;
            return;
        }
        if (word == "ansicpg" && hasParameter) {
            codePage_ =
                parameter == 10000 ? QByteArray("macintosh") : "cp" + QByteArray::number(parameter);
        } else if (word == "mac") {
            codePage_ = "macintosh";
        } else if (word == "pc") {
            codePage_ = "cp437";
        } else if (word == "pca") {
            codePage_ = "cp850";
        } else if (word == "uc" && hasParameter) {
            state.unicodeSkipCount = int(std::clamp<long long>(parameter, 0, 16));
        } else if (word == "u" && hasParameter) {
            if (!state.skip) {
                flushBytes();
                const int value = int(parameter < 0 ? parameter + 65536 : parameter) & 0xFFFF;
                out_ += QChar(char16_t(value));
                pendingUnicodeSkip_ = state.unicodeSkipCount;
            }
            return;
        } else {
            const QString symbol = symbolForWord(word);
            if (!symbol.isEmpty()) {
                emitText(symbol, state);
            }
        }
    }

    void emitText(const QString& text, const GroupState& state) {
        if (state.skip) {
            return;
        }
        if (pendingUnicodeSkip_ > 0) {
            --pendingUnicodeSkip_;
            return;
        }
        flushBytes();
        out_ += text;
    }

    // A byte of 8-bit text; the alternative characters that follow a \uN are dropped.
    void appendByte(char byte) {
        if (pendingUnicodeSkip_ > 0) {
            --pendingUnicodeSkip_;
            return;
        }
        pendingBytes_.append(byte);
    }

    // Decodes the run of 8-bit text collected so far in the document's code page.
    void flushBytes() {
        if (pendingBytes_.isEmpty()) {
            return;
        }
        UConverter* converter = converterFor(codePage_);
        if (!converter) {
            converter = converterFor("cp1252");
        }
        if (converter) {
            QString decoded(pendingBytes_.size() * 2 + 4, Qt::Uninitialized);
            UErrorCode status = U_ZERO_ERROR;
            ucnv_reset(converter);
            const int32_t length = ucnv_toUChars(
                converter, reinterpret_cast<UChar*>(decoded.data()), int32_t(decoded.size()),
                pendingBytes_.constData(), int32_t(pendingBytes_.size()), &status);
            if (U_SUCCESS(status)) {
                decoded.resize(length);
                out_ += decoded;
            }
        }
        pendingBytes_.clear();
    }

    UConverter* converterFor(const QByteArray& name) {
        auto it = converters_.find(name);
        if (it == converters_.end()) {
            UErrorCode status = U_ZERO_ERROR;
            UConverter* converter = ucnv_open(name.constData(), &status);
            if (U_FAILURE(status)) {
                converter = nullptr;
            }
            it = converters_.emplace(name, ConverterPtr(converter, &ucnv_close)).first;
        }
        return it->second.get();
    }

    using ConverterPtr = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

    char byteAt(qsizetype i) const { return i < in_.size() ? in_[i] : '\0'; }

    const QByteArray& in_;
    std::map<QByteArray, ConverterPtr> converters_;
    QString out_;
    QByteArray pendingBytes_;
    QByteArray codePage_ = "cp1252";
    int pendingUnicodeSkip_ = 0;
    bool pendingStarredDestination_ = false;
};

} // namespace

namespace ScriptReaders {

QString rtfPlainText(const QByteArray& bytes) {
    return RtfParser(bytes).run();
}

} // namespace ScriptReaders
