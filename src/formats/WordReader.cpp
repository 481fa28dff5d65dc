#include "formats/ScriptReaders.h"

#include "model/Regex.h"

#include <QFile>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Limits that no real script reaches; they keep hostile files from exhausting memory.
constexpr qsizetype kMaxDocumentPart = 64 * 1024 * 1024;
constexpr int kMaxFieldDepth = 64;

uint16_t le16(const QByteArray& b, qsizetype at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

uint32_t le32(const QByteArray& b, qsizetype at) {
    return uint32_t(le16(b, at)) | uint32_t(le16(b, at + 2)) << 16;
}

bool fits(const QByteArray& b, qsizetype at, qsizetype length) {
    return at >= 0 && length >= 0 && at <= b.size() && length <= b.size() - at;
}

// ---- .docx: a ZIP archive whose word/document.xml holds the runs of text.

QByteArray inflateRaw(QByteArrayView data, qsizetype expectedSize) {
    if (expectedSize < 0 || expectedSize > kMaxDocumentPart) {
        return QByteArray();
    }
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return QByteArray();
    }
    QByteArray out(expectedSize, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const qsizetype produced = qsizetype(stream.total_out);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != expectedSize) {
        return QByteArray();
    }
    return out;
}

QByteArray zipEntry(const QByteArray& zip, const QByteArray& wanted) {
    // The end-of-central-directory record sits in the last 64 KiB + 22 bytes.
    qsizetype eocd = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (le32(zip, at) == 0x06054b50) {
            eocd = at;
            break;
        }
    }
    if (eocd < 0) {
        return QByteArray();
    }
    const uint16_t entries = le16(zip, eocd + 10);
    qsizetype at = le32(zip, eocd + 16);
    for (int i = 0; i < entries; ++i) {
        if (!fits(zip, at, 46) || le32(zip, at) != 0x02014b50) {
            return QByteArray();
        }
        const uint16_t method = le16(zip, at + 10);
        const uint32_t compressedSize = le32(zip, at + 20);
        const uint32_t size = le32(zip, at + 24);
        const uint16_t nameLength = le16(zip, at + 28);
        const uint16_t extraLength = le16(zip, at + 30);
        const uint16_t commentLength = le16(zip, at + 32);
        const qsizetype localHeader = le32(zip, at + 42);
        if (!fits(zip, at + 46, nameLength)) {
            return QByteArray();
        }
        if (zip.mid(at + 46, nameLength) == wanted) {
            if (!fits(zip, localHeader, 30) || le32(zip, localHeader) != 0x04034b50) {
                return QByteArray();
            }
            const qsizetype dataStart =
                localHeader + 30 + le16(zip, localHeader + 26) + le16(zip, localHeader + 28);
            if (!fits(zip, dataStart, compressedSize)) {
                return QByteArray();
            }
            const QByteArrayView data(zip.constData() + dataStart, compressedSize);
            if (method == 0) {
                return compressedSize == size ? data.toByteArray() : QByteArray();
            }
            return method == 8 ? inflateRaw(data, size) : QByteArray();
        }
        at += 46 + nameLength + extraLength + commentLength;
    }
    return QByteArray();
}

QString documentXmlText(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    QString out;
    bool inParagraph = false;
    int skipped = 0; // inside deleted text or field instructions
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.qualifiedName();
            if (name == u"w:instrText" || name == u"w:delText" || name == u"w:del") {
                ++skipped;
            } else if (skipped > 0) {
                continue;
            } else if (name == u"w:t") {
                out += reader.readElementText();
            } else if (name == u"w:tab") {
                out += u'\t';
            } else if (name == u"w:br" || name == u"w:cr") {
                out += u'\n';
            } else if (name == u"w:p") {
                inParagraph = true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = reader.qualifiedName();
            if (name == u"w:instrText" || name == u"w:delText" || name == u"w:del") {
                --skipped;
            } else if (name == u"w:p" && inParagraph) {
                out += u'\n';
                inParagraph = false;
            }
        }
    }
    if (reader.hasError()) {
        return QString();
    }
    if (out.endsWith(u'\n')) {
        out.chop(1);
    }
    return out;
}

// ---- .doc: a compound file whose WordDocument stream and table stream give the piece table.

class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& bytes) : b_(bytes) { valid_ = readHeader(); }
    bool isValid() const { return valid_; }

    // The stream of that name, or empty.
    QByteArray stream(const QString& name) const {
        for (const Entry& e : entries_) {
            if (e.name == name && e.type == 2) {
                return e.size < miniCutoff_ ? readMini(e.start, e.size)
                                            : readChain(fat_, e.start, e.size, sectorSize_);
            }
        }
        return QByteArray();
    }

private:
    struct Entry {
        QString name;
        int type;
        uint32_t start;
        qsizetype size;
    };

    qsizetype sectorOffset(uint32_t sector) const { return qsizetype(sector + 1) * sectorSize_; }

    bool readHeader() {
        if (!fits(b_, 0, 512) || !b_.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
            return false;
        }
        const int shift = le16(b_, 0x1E);
        if (shift != 9 && shift != 12) {
            return false;
        }
        sectorSize_ = qsizetype(1) << shift;
        miniCutoff_ = le32(b_, 0x38);
        // The sector allocation table, listed in the header and further DIFAT sectors.
        std::vector<uint32_t> fatSectors;
        const uint32_t fatCount = le32(b_, 0x2C);
        for (int i = 0; i < 109 && fatSectors.size() < fatCount; ++i) {
            fatSectors.push_back(le32(b_, 0x4C + i * 4));
        }
        uint32_t difat = le32(b_, 0x44);
        for (int guard = 0; difat < 0xFFFFFFFA && fatSectors.size() < fatCount && guard < 4096;
             ++guard) {
            const qsizetype at = sectorOffset(difat);
            if (!fits(b_, at, sectorSize_)) {
                return false;
            }
            for (qsizetype i = 0; i + 4 < sectorSize_ && fatSectors.size() < fatCount; i += 4) {
                fatSectors.push_back(le32(b_, at + i));
            }
            difat = le32(b_, at + sectorSize_ - 4);
        }
        for (uint32_t sector : fatSectors) {
            const qsizetype at = sectorOffset(sector);
            if (!fits(b_, at, sectorSize_)) {
                return false;
            }
            for (qsizetype i = 0; i < sectorSize_; i += 4) {
                fat_.push_back(le32(b_, at + i));
            }
        }
        const QByteArray directory = readChain(fat_, le32(b_, 0x30), -1, sectorSize_);
        for (qsizetype at = 0; at + 128 <= directory.size(); at += 128) {
            const int nameBytes = std::min<int>(le16(directory, at + 64), 64);
            Entry e;
            e.name =
                QString::fromUtf16(reinterpret_cast<const char16_t*>(directory.constData() + at),
                                   std::max(0, nameBytes / 2 - 1));
            e.type = uint8_t(directory[at + 66]);
            e.start = le32(directory, at + 116);
            e.size = le32(directory, at + 120);
            entries_.push_back(e);
        }
        if (entries_.empty() || entries_[0].type != 5) {
            return false;
        }
        miniStream_ = readChain(fat_, entries_[0].start, entries_[0].size, sectorSize_);
        const QByteArray miniFatBytes = readChain(fat_, le32(b_, 0x3C), -1, sectorSize_);
        for (qsizetype i = 0; i + 4 <= miniFatBytes.size(); i += 4) {
            miniFat_.push_back(le32(miniFatBytes, i));
        }
        return true;
    }

    // Follows a sector chain; `size` -1 reads the whole chain. Loops and stray sectors end it.
    QByteArray readChain(const std::vector<uint32_t>& table, uint32_t sector, qsizetype size,
                         qsizetype unit) const {
        QByteArray out;
        const bool mini = &table == &miniFat_;
        const QByteArray& source = mini ? miniStream_ : b_;
        size_t steps = 0;
        while (sector < 0xFFFFFFFA && steps++ <= table.size()) {
            const qsizetype at = mini ? qsizetype(sector) * unit : sectorOffset(sector);
            if (!fits(source, at, unit) || out.size() > kMaxDocumentPart) {
                break;
            }
            out.append(source.constData() + at, unit);
            if (size >= 0 && out.size() >= size) {
                break;
            }
            sector = sector < table.size() ? table[sector] : 0xFFFFFFFE;
        }
        if (size >= 0) {
            out.truncate(size);
        }
        return out;
    }

    QByteArray readMini(uint32_t sector, qsizetype size) const {
        return readChain(miniFat_, sector, size, 64);
    }

    const QByteArray& b_;
    bool valid_ = false;
    qsizetype sectorSize_ = 512;
    uint32_t miniCutoff_ = 4096;
    std::vector<uint32_t> fat_;
    std::vector<uint32_t> miniFat_;
    QByteArray miniStream_;
    std::vector<Entry> entries_;
};

// The main document text of a Word 97-2003 file, from its piece table; field instructions are
// left out and their results kept.
QString wordDocumentText(const QByteArray& bytes) {
    const CompoundFile file(bytes);
    if (!file.isValid()) {
        return QString();
    }
    const QByteArray word = file.stream(QStringLiteral("WordDocument"));
    if (!fits(word, 0, 0x1AA) || le16(word, 0) != 0xA5EC) {
        return QString();
    }
    const bool tableOne = (le16(word, 0x0A) & 0x0200) != 0;
    const QByteArray table =
        file.stream(tableOne ? QStringLiteral("1Table") : QStringLiteral("0Table"));
    const uint32_t ccpText = le32(word, 0x4C);
    const qsizetype fcClx = le32(word, 0x1A2);
    const qsizetype lcbClx = le32(word, 0x1A6);
    if (!fits(table, fcClx, lcbClx)) {
        return QString();
    }
    qsizetype at = fcClx;
    const qsizetype end = fcClx + lcbClx;
    while (at < end && table[at] == 0x01) { // property modifiers before the piece table
        if (!fits(table, at + 1, 2)) {
            return QString();
        }
        at += 3 + le16(table, at + 1);
    }
    if (at >= end || table[at] != 0x02 || !fits(table, at + 1, 4)) {
        return QString();
    }
    const qsizetype lcb = le32(table, at + 1);
    const qsizetype plc = at + 5;
    if (!fits(table, plc, lcb) || lcb < 4 || (lcb - 4) % 12 != 0) {
        return QString();
    }
    const qsizetype pieces = (lcb - 4) / 12;
    QStringDecoder cp1252("windows-1252");
    QString raw;
    for (qsizetype i = 0; i < pieces && uint32_t(raw.size()) < ccpText; ++i) {
        const uint32_t cpStart = le32(table, plc + i * 4);
        const uint32_t cpEnd = le32(table, plc + (i + 1) * 4);
        if (cpEnd < cpStart) {
            return QString();
        }
        const qsizetype count = std::min<qsizetype>(cpEnd - cpStart, ccpText - raw.size());
        const uint32_t fc = le32(table, plc + (pieces + 1) * 4 + i * 8 + 2);
        if ((fc & 0x40000000) != 0) {
            const qsizetype offset = (fc & 0x3FFFFFFF) / 2;
            if (!fits(word, offset, count)) {
                return QString();
            }
            raw += cp1252.isValid()
                       ? cp1252.decode(QByteArrayView(word.constData() + offset, count))
                       : QString::fromLatin1(word.constData() + offset, count);
        } else {
            if (!fits(word, fc, count * 2)) {
                return QString();
            }
            raw +=
                QString::fromUtf16(reinterpret_cast<const char16_t*>(word.constData() + fc), count);
        }
    }
    QString out;
    out.reserve(raw.size());
    // Each open field: whether its instructions are still running.
    std::vector<bool> inInstructions;
    for (QChar c : raw) {
        const char16_t u = c.unicode();
        if (u == 0x13) {
            if (int(inInstructions.size()) >= kMaxFieldDepth) {
                return QString();
            }
            inInstructions.push_back(true);
            continue;
        }
        if (u == 0x14) {
            if (!inInstructions.empty()) {
                inInstructions.back() = false;
            }
            continue;
        }
        if (u == 0x15) {
            if (!inInstructions.empty()) {
                inInstructions.pop_back();
            }
            continue;
        }
        if (std::find(inInstructions.begin(), inInstructions.end(), true) != inInstructions.end()) {
            continue;
        }
        if (u == 0x0D || u == 0x0B || u == 0x0C) {
            out += u'\n';
        } else if (u == 0x07) {
            out += u'\t'; // table cell mark
        } else if (u == 0x1E) {
            out += u'-';
        } else if (u >= 0x20 || u == 0x09) {
            out += c;
        }
    }
    if (out.endsWith(u'\n')) {
        out.chop(1);
    }
    return out;
}

} // namespace

namespace ScriptReaders {

QString docPlainText(const QByteArray& bytes) {
    return wordDocumentText(bytes);
}

QString docxPlainText(const QByteArray& bytes) {
    const QByteArray xml = zipEntry(bytes, "word/document.xml");
    return xml.isEmpty() ? QString() : documentXmlText(xml);
}

QString readScriptFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QByteArray bytes = file.readAll();
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".rtf"))) {
        return rtfPlainText(bytes);
    }
    QString text =
        lower.endsWith(QLatin1String(".docx")) ? docxPlainText(bytes) : docPlainText(bytes);
    if (text.isNull()) {
        return text;
    }
    // A hyperlink's field code that a reader left in the text.
    static const Regex hyperlinkFieldCode(QStringLiteral("HYPERLINK \"[^\"]*\""));
    return hyperlinkFieldCode.replaceAll(text, QString());
}

} // namespace ScriptReaders
