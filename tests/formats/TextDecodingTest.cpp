#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "formats/TextFileReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <unicode/ucnv.h>

using formatstest::u8;

namespace {

QByteArray encode(const QString& text, const char* encoding) {
    UErrorCode status = U_ZERO_ERROR;
    std::vector<char> out(size_t(text.size()) * 4 + 8);
    const int32_t length = ucnv_convert(encoding, "UTF-16LE", out.data(), int32_t(out.size()),
                                        reinterpret_cast<const char*>(text.utf16()),
                                        int32_t(text.size() * 2), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << encoding;
    return QByteArray(out.data(), length);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

} // namespace

TEST(TextDecoding, UnicodeFormsDecodeToTheSameText) {
    const QString text = u8("1\n00:00:01,000 --> 00:00:02,000\nÀ bientôt, 你好, привет 🎬\n");
    const QByteArray utf16le = encode(text, "UTF-16LE");
    const QByteArray utf16be = encode(text, "UTF-16BE");
    const QByteArray utf32le = encode(text, "UTF-32LE");
    const QByteArray utf32be = encode(text, "UTF-32BE");
    const std::pair<const char*, QByteArray> cases[] = {
        {"UTF-8", text.toUtf8()},
        {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"UTF-16LE with mark", QByteArray("\xFF\xFE") + utf16le},
        {"UTF-16BE with mark", QByteArray("\xFE\xFF") + utf16be},
        {"UTF-32LE with mark", QByteArray("\xFF\xFE\x00\x00", 4) + utf32le},
        {"UTF-32BE with mark", QByteArray("\x00\x00\xFE\xFF", 4) + utf32be},
        {"GB18030", encode(text, "GB18030")},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(TextFileReader::decodeText(bytes), text) << name;
    }
}

TEST(TextDecoding, LegacyCodePagesAreDetected) {
    struct Case {
        const char* encoding;
        const char* text;
    };
    const Case cases[] = {
        {"windows-1252", "C'était l'été à la plage, où les enfants jouaient près de la mer. "
                         "Ça coûte 5 € — « très cher », dit-il, et il reçut sa monnaie."},
        {"windows-1251", "Съешь же ещё этих мягких французских булок, да выпей чаю. "
                         "Широкая электрификация южных губерний даст мощный толчок."},
        {"Shift_JIS", "今日はとても良い天気ですね。明日も晴れるといいのですが、"
                      "天気予報によると雨が降るそうです。傘を持って行きましょう。"},
        {"EUC-KR", "안녕하세요. 오늘은 날씨가 정말 좋네요. 내일도 맑았으면 좋겠지만 "
                   "일기예보에 따르면 비가 온다고 합니다. 우산을 챙기세요. 그리고 "
                   "저녁에는 친구들과 함께 한국 음식을 먹으러 식당에 갈 예정입니다."},
    };
    for (const Case& c : cases) {
        const QString text = u8(c.text);
        EXPECT_EQ(TextFileReader::decodeText(encode(text, c.encoding)), text) << c.encoding;
    }
}

TEST(TextDecoding, UndecodableBytesStillGiveText) {
    // Invalid UTF-8 that no detector names cleanly: read leniently rather than lost.
    const QByteArray bytes("caf\xE9 \xFF\xFE\xFD bar", 13);
    const QString text = TextFileReader::decodeText(bytes);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.startsWith(u8("caf"))) << text.toStdString();
    EXPECT_TRUE(TextFileReader::decodeText(QByteArray()).isEmpty());
    EXPECT_TRUE(TextFileReader::decodeText(QByteArray("\xEF\xBB\xBF")).isEmpty());
    // An odd byte count cannot be UTF-16, yet the text before it is kept.
    EXPECT_TRUE(TextFileReader::decodeText(QByteArray("\xFF\xFE"
                                                      "a\0b\0c",
                                                      7))
                    .startsWith(u8("ab")));
}

TEST(TextDecoding, FilesAndLineEnds) {
    QTemporaryDir dir;
    const QString crOnly = writeFile(dir, QStringLiteral("cr.srt"), "a\rb\r");
    const QString crlf = writeFile(dir, QStringLiteral("crlf.txt"), "a\r\nb\r\n");
    EXPECT_EQ(TextFileReader::getContentFromURL(crOnly), u8("a\rb\r"));
    EXPECT_EQ(TextFileReader::readFile(crOnly), u8("ab"));
    EXPECT_EQ(TextFileReader::readFile(crlf), u8("a\nb\n"));
    EXPECT_TRUE(TextFileReader::getContentFromURL(dir.filePath(QStringLiteral("none"))).isNull());
    const QString empty = writeFile(dir, QStringLiteral("empty.txt"), "");
    EXPECT_FALSE(TextFileReader::getContentFromURL(empty).isNull());
}

TEST(TextDecoding, LinesAreTrimmedAndEmptyOnesDropped) {
    EXPECT_EQ(TextFileReader::getLinesFromText(u8("a\r\n\r\n  b  \n")), QStringList({"a", "b"}));
    EXPECT_EQ(TextFileReader::removeEmptyLinesFromString(u8(" x \r\r\ty\n\n")), u8("x\ny"));
    EXPECT_EQ(TextFileReader::removeEmptyLinesFromString(u8(" \n\t\r")), QString());
}

TEST(TextDecoding, CorpusFilesInEveryEncoding) {
    MQ_SKIP_WITHOUT_SHARED();
    const auto read = [](const char* name) {
        return TextFileReader::getContentFromURL(testsupport::corpusPath(u8(name)));
    };
    const QString utf8 = read("srt/pysrt-bom-utf-8.srt");
    ASSERT_FALSE(utf8.isEmpty());
    EXPECT_FALSE(utf8.startsWith(QChar(0xFEFF)));
    EXPECT_EQ(read("srt/pysrt-bom-utf-16-le.srt"), utf8);
    EXPECT_EQ(read("srt/pysrt-bom-utf-16-be.srt"), utf8);
    EXPECT_EQ(read("srt/pysrt-bom-utf-32-le.srt"), utf8);
    const QString gbk = read("srt/aspasia-gbk.srt");
    EXPECT_TRUE(gbk.contains(u8("这是中文")));
    EXPECT_TRUE(gbk.contains(u8("再见")));
    const QString french = read("srt/jubler-windows1252-french.srt");
    for (const char* word : {"€", "œ", "Ç", "…", "«"}) {
        EXPECT_TRUE(french.contains(u8(word))) << word;
    }
    EXPECT_TRUE(read("srt/subtitleedit-windows-1251.srt").contains(QChar(0x0430))); // а
    EXPECT_TRUE(
        read("srt/subtitlesparser-salvage-windows-1256-arabic.srt").contains(QChar(0x0627)));
}
