#include "FormatsTestSupport.h"

#include "formats/ScriptReaders.h"

using formatstest::u8;

TEST(RtfReader, PlainTextOfTheDocument) {
    struct Case {
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0 Hello\\par World}", "Hello\nWorld"},
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}", "café €"},
        {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "При"},
        {"{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}", "日本"},
        {"{\\rtf1\\ansi\\uc1 \\u26085?\\u26412?!}", "日本!"},
        {"{\\rtf1\\uc2 \\u-10179\\'3f\\'3f\\u-8704??}", "\xF0\x9F\x98\x80"},
        {"{\\rtf1 a{\\*\\generator Word;}b{\\info{\\title T}}c}", "abc"},
        {"{\\rtf1 [00:00:01.00]Hi\\line x\\tab y\\~z\\{\\}\\\\}",
         "[00:00:01.00]Hi\nx\ty\u00A0z{}\\"},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}", "link"},
        {"{\\rtf1 line\r\nbreaks are\r\n not text}", "linebreaks are not text"},
        {"{\\rtf1 a}\r\n\0", "a"}, // what follows the document group is not read
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScriptReaders::rtfPlainText(QByteArray(c.rtf)), u8(c.text)) << c.rtf;
    }
}

TEST(RtfReader, MalformedDocumentsAreRefused) {
    const char* const cases[] = {
        "plain text", "{\\rtf1 unclosed", "{\\rtf1 bad hex \\'zz}", "{\\rtf1 \\", "}{\\rtf1 a}",
    };
    for (const char* rtf : cases) {
        EXPECT_TRUE(ScriptReaders::rtfPlainText(QByteArray(rtf)).isNull()) << rtf;
    }
    EXPECT_TRUE(ScriptReaders::rtfPlainText(QByteArray(100000, '{')).isNull());
}

TEST(WordReader, DocxRunsWithoutFieldCodesOrDeletions) {
    EXPECT_EQ(ScriptReaders::readScriptFile(formatstest::fixturePath(u8("script.docx"))),
              u8("[00:00:01.00]Hello\nWörld \nlink\tend"));
}

TEST(WordReader, DocumentsThatAreNotWordAreRefused) {
    for (const char* bytes :
         {"", "PK\x03\x04 not a zip", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 short"}) {
        EXPECT_TRUE(ScriptReaders::docxPlainText(QByteArray(bytes)).isNull()) << bytes;
        EXPECT_TRUE(ScriptReaders::docPlainText(QByteArray(bytes)).isNull()) << bytes;
    }
}
