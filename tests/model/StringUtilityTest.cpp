#include "model/MQStringUtility.h"

#include <gtest/gtest.h>

using namespace MQStringUtility;

TEST(StringUtility, NormalizesEditorText) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("a\r\nb"), QStringLiteral("a\nb")},
        {QStringLiteral("a\rb\r"), QStringLiteral("a\nb\n")},
        {QStringLiteral("a\u2028b\u2029c"), QStringLiteral("a\nb\nc")},
        {QStringLiteral("a\tb\x01"
                        "c"),
         QStringLiteral("abc")},
        {QStringLiteral("\r\r\n"), QStringLiteral("\n\n")},
        {QStringLiteral("[00:00:01.00]x\u23CEy"), QStringLiteral("[00:00:01.00]x\u23CEy")},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(normalizeEditorText(in), out) << in.toStdString();
        // A string handed over is normalised alike (and kept as it is when already normal).
        EXPECT_EQ(normalizeEditorText(QString(in)), out) << in.toStdString();
    }
}

TEST(StringUtility, Trimming) {
    EXPECT_EQ(trimWhitespaceAndNewlines(u" \t\r\n x y \u00A0\u2028"), QStringLiteral("x y"));
    EXPECT_EQ(trimWhitespace(u" \tx\n"), QStringLiteral("x\n"));
    EXPECT_EQ(trimCharacters(u";,x;y,;", u";,"), QStringLiteral("x;y"));
    EXPECT_EQ(trimWhitespaceAndNewlines(u"   "), QString());
}

TEST(StringUtility, LinesFromText) {
    EXPECT_EQ(linesFromText(u" a \r\n\r\n b\rc\n\n"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_TRUE(linesFromText(u"\n \n").isEmpty());
}

TEST(StringUtility, LeadingIntegers) {
    const std::pair<const char*, int32_t> cases[] = {{"42", 42},
                                                     {"  -7x", -7},
                                                     {"+3", 3},
                                                     {"abc", 0},
                                                     {"", 0},
                                                     {"12.9", 12},
                                                     {"99999999999", INT32_MAX},
                                                     {"-99999999999", INT32_MIN},
                                                     {"-2147483648", INT32_MIN}};
    for (const auto& [in, v] : cases) {
        EXPECT_EQ(intValue(QString::fromLatin1(in)), v) << in;
    }
    EXPECT_EQ(integerValue(u"99999999999"), 99999999999LL);
    EXPECT_EQ(integerValue(u"99999999999999999999"), INT64_MAX);
}
