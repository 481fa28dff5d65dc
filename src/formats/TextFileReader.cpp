#include "formats/TextFileReader.h"

#include "formats/ScriptReaders.h"
#include "model/MQStringUtility.h"

#include <QFile>
#include <QStringDecoder>

#include <uchardet/uchardet.h>
#include <unicode/ucnv.h>

#include <memory>

namespace {

struct ByteOrderMark {
    const char* bytes;
    int length;
    const char* encoding;
};

// Longest first: the UTF-32LE mark begins with the UTF-16LE one.
constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xFF\xFE\x00\x00", 4, "UTF-32LE"}, {"\x00\x00\xFE\xFF", 4, "UTF-32BE"},
    {"\xEF\xBB\xBF", 3, "UTF-8"},        {"\xFF\xFE", 2, "UTF-16LE"},
    {"\xFE\xFF", 2, "UTF-16BE"},
};

const ByteOrderMark* byteOrderMark(const QByteArray& bytes) {
    for (const ByteOrderMark& bom : kByteOrderMarks) {
        if (bytes.startsWith(QByteArrayView(bom.bytes, bom.length))) {
            return &bom;
        }
    }
    return nullptr;
}

// Decodes with an ICU converter; `strict` stops at the first byte sequence the encoding does not
// define and gives a null string, otherwise such bytes become substitution characters.
QString decodeWithIcu(QByteArrayView bytes, const char* encoding, bool strict) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(encoding, &status),
                                                                 &ucnv_close);
    if (U_FAILURE(status) || !converter) {
        return QString();
    }
    if (strict) {
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
    }
    QString out;
    // One UTF-16 unit per byte covers nearly every encoding; the loop grows the buffer otherwise.
    out.resize(bytes.size() + 16);
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    qsizetype written = 0;
    for (;;) {
        UChar* target = reinterpret_cast<UChar*>(out.data()) + written;
        UChar* const targetStart = target;
        UChar* const targetEnd = reinterpret_cast<UChar*>(out.data()) + out.size();
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.get(), &target, targetEnd, &source, sourceEnd, nullptr, true,
                       &status);
        written += target - targetStart;
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2);
            continue;
        }
        break;
    }
    if (U_FAILURE(status)) {
        return QString();
    }
    out.resize(written);
    return out;
}

QString decodeUtf8Strict(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

QByteArray detectorEncoding(const QByteArray& bytes) {
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), &uchardet_delete);
    if (uchardet_handle_data(detector.get(), bytes.constData(), size_t(bytes.size())) != 0) {
        return QByteArray();
    }
    uchardet_data_end(detector.get());
    const QByteArray name(uchardet_get_charset(detector.get()));
    // The detector's names that ICU knows under another one.
    static const std::pair<const char*, const char*> kIcuNames[] = {
        {"UHC", "windows-949"},
        {"MAC-CENTRALEUROPE", "x-mac-centraleurroman"},
        {"MAC-CYRILLIC", "x-mac-cyrillic"},
    };
    for (const auto& [detected, icu] : kIcuNames) {
        if (name == detected) {
            return icu;
        }
    }
    return name;
}

bool looksLikeRtf(const QByteArray& bytes) {
    return bytes.startsWith("{\\rtf");
}

} // namespace

QByteArray TextFileReader::detectEncoding(const QByteArray& bytes) {
    if (const ByteOrderMark* bom = byteOrderMark(bytes)) {
        return bom->encoding;
    }
    if (!decodeUtf8Strict(bytes).isNull()) {
        return "UTF-8";
    }
    return detectorEncoding(bytes);
}

QString TextFileReader::decodeText(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return QString();
    }
    QByteArray encoding;
    QByteArrayView payload = bytes;
    if (const ByteOrderMark* bom = byteOrderMark(bytes)) {
        encoding = bom->encoding;
        payload = payload.sliced(bom->length);
        if (payload.isEmpty()) {
            return QString();
        }
        QString text = decodeWithIcu(payload, bom->encoding, true);
        if (!text.isEmpty()) {
            return text;
        }
    } else {
        // Valid UTF-8 is taken as such before asking the detector: it is by far the most common
        // case and the detector would name it anyway.
        QString text = decodeUtf8Strict(payload);
        if (!text.isEmpty()) {
            return text;
        }
        encoding = detectorEncoding(bytes);
        if (!encoding.isEmpty() && encoding != "ASCII") {
            text = decodeWithIcu(payload, encoding.constData(), true);
            if (!text.isEmpty()) {
                return text;
            }
        }
    }
    // Nothing decoded cleanly: read what can be read rather than nothing.
    if (looksLikeRtf(bytes)) {
        QString text = ScriptReaders::rtfPlainText(bytes);
        if (!text.isEmpty()) {
            return text;
        }
    }
    if (encoding.isEmpty() || encoding == "ASCII") {
        encoding = "windows-1252";
    }
    QString text = decodeWithIcu(payload, encoding.constData(), false);
    return text.isNull() ? decodeWithIcu(payload, "windows-1252", false) : text;
}

QString TextFileReader::getContentFromURL(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QString text = decodeText(file.readAll());
    // A readable file always gives a string, if an empty one.
    return text.isNull() ? QStringLiteral("") : text;
}

QString TextFileReader::readFile(const QString& path) {
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".doc")) || lower.endsWith(QLatin1String(".rtf")) ||
        lower.endsWith(QLatin1String(".docx"))) {
        return ScriptReaders::readScriptFile(path);
    }
    QString text = getContentFromURL(path);
    text.remove(u'\r');
    return text;
}

QStringList TextFileReader::getLinesFromText(QStringView text) {
    return MQStringUtility::linesFromText(text);
}

QString TextFileReader::removeEmptyLinesFromString(QStringView text) {
    return getLinesFromText(text).join(u'\n');
}
