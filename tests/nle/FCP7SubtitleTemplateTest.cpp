#include "nle/FCP7SubtitleTemplate.h"

#include "TestSupport.h"
#include "model/MQTimeUtility.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString generator(const QString& id, int start, int end, const QString& parameters) {
    return QStringLiteral("<generatoritem id=\"%1\"><in>0</in><start>%2</start><end>%3</end>"
                          "<effect>%4</effect></generatoritem>")
        .arg(id)
        .arg(start)
        .arg(end)
        .arg(parameters);
}

QString strParameter(const QString& value) {
    return QStringLiteral("<parameter><parameterid>str</parameterid><value>%1</value></parameter>")
        .arg(value);
}

QString sequence(const QString& tracks, const QString& timebase = QStringLiteral("30"),
                 const QString& displayFormat = QStringLiteral("NDF"),
                 const QString& name = QStringLiteral("Reel")) {
    return QStringLiteral("<?xml version=\"1.0\"?><xmeml version=\"4\"><sequence><name>%1</name>"
                          "<duration>900</duration><rate><timebase>%2</timebase></rate>"
                          "<timecode><displayformat>%3</displayformat></timecode>"
                          "<media><video>%4</video></media></sequence></xmeml>")
        .arg(name, timebase, displayFormat, tracks);
}

QString track(const QString& content) {
    return QStringLiteral("<track>%1</track>").arg(content);
}

} // namespace

TEST(FCP7SubtitleTemplate, DefaultDocumentGivesItsSampleLine) {
    testsupport::ScopedFrameRate rate(25);
    QFile file(testsupport::sourceDir() + QStringLiteral("/resources/Default.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto loaded = FCP7SubtitleTemplate::load(QString::fromUtf8(file.readAll()));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->seqName, QStringLiteral("Marquee Subtitles"));
    EXPECT_EQ(loaded->timebase, 30);
    EXPECT_FALSE(loaded->isDropFrame);
    EXPECT_EQ(MQTimeUtility::sharedInstance().getFPS(), 30.0);
    EXPECT_EQ(loaded->duration, MediaTime(9000, 30));
    EXPECT_EQ(loaded->editorText, QStringLiteral("[00:00:00.00]Sample Text[00:00:03.00]\n"));
    ASSERT_TRUE(loaded->templateElement);
    const pugi::xml_node element = loaded->templateElement->document_element();
    EXPECT_STREQ(element.name(), "generatoritem");
    EXPECT_STREQ(element.attribute("id").value(), "Sample Text");
}

TEST(FCP7SubtitleTemplate, EveryGeneratorOfTheTopTrackBecomesALine) {
    testsupport::ScopedFrameRate rate(30);
    const QString lower = track(generator(QStringLiteral("low"), 0, 30, strParameter("Lower")));
    const QString top = track(generator(QStringLiteral("A"), 30, 60, strParameter("One")) +
                              QStringLiteral("<clipitem id=\"c\"/>") +
                              generator(QStringLiteral("B"), 75, 90, strParameter("Two")));
    const auto loaded = FCP7SubtitleTemplate::load(sequence(lower + top, QStringLiteral("25")));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->editorText,
              QStringLiteral("[00:00:01.05]One[00:00:02.10]\n[00:00:03.00]Two[00:00:03.15]\n"));
    EXPECT_STREQ(loaded->templateElement->document_element().attribute("id").value(), "A");
}

TEST(FCP7SubtitleTemplate, DropFrameCountsAreWidenedPerTimebase) {
    testsupport::ScopedFrameRate rate(30);
    struct Case {
        const char* timebase;
        const char* displayFormat;
        int frames;
        const char* expectedStart;
    };
    const Case cases[] = {
        {"30", "DF", 3996, "[00:02:13.08]"}, // 3996 + 2 = 3998 frames
        {"30", "DF", 1999, "[00:01:06.19]"}, // below 2000 nothing is added
        {"30", "NDF", 3996, "[00:02:13.06]"},
        {"60", "DF", 8000, "[00:02:13.28]"}, // 8000 + 8 = 8008 frames
        {"25", "DF", 4000, "[00:02:40.00]"}, // other timebases are left alone
    };
    for (const Case& c : cases) {
        const auto loaded = FCP7SubtitleTemplate::load(
            sequence(track(generator(QStringLiteral("g"), c.frames, c.frames + 10, {})),
                     QString::fromLatin1(c.timebase), QString::fromLatin1(c.displayFormat)));
        ASSERT_TRUE(loaded) << c.timebase << c.displayFormat;
        EXPECT_TRUE(loaded->editorText.startsWith(QString::fromLatin1(c.expectedStart)))
            << c.timebase << " " << c.displayFormat << " " << c.frames << ": "
            << qPrintable(loaded->editorText);
    }
}

TEST(FCP7SubtitleTemplate, TextComesFromTheLastStrParameter) {
    testsupport::ScopedFrameRate rate(30);
    const QString other = QStringLiteral(
        "<parameter><parameterid>font</parameterid><value>Arial</value></parameter>");
    struct Case {
        QString parameters;
        QString expected;
    };
    const Case cases[] = {
        {strParameter("first") + other + strParameter("last"), QStringLiteral("last")},
        {other, QString()},
        {strParameter("one&#13;two"), QStringLiteral("one\u23CEtwo")},
        // A literal line break must not split the editor line either.
        {strParameter("one\ntwo"), QStringLiteral("one\u23CEtwo")},
    };
    for (const Case& c : cases) {
        const auto loaded =
            FCP7SubtitleTemplate::load(sequence(track(generator("g", 0, 30, c.parameters))));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->editorText,
                  QStringLiteral("[00:00:00.00]%1[00:00:01.00]\n").arg(c.expected));
    }
}

TEST(FCP7SubtitleTemplate, EarlierMarqueeSuffixIsCut) {
    const auto loaded = FCP7SubtitleTemplate::load(
        sequence(track(generator("g", 0, 30, {})), QStringLiteral("30"), QStringLiteral("NDF"),
                 QStringLiteral("Reel 1 from Marquee at 2024-01-02 10-11-12")));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->seqName, QStringLiteral("Reel 1"));
}

TEST(FCP7SubtitleTemplate, DocumentsWithoutTemplateAreRefusedAndKeepTheRate) {
    testsupport::ScopedFrameRate rate(24);
    const QString withGenerator = track(generator("g", 0, 30, {}));
    const QString cases[] = {
        QStringLiteral("not xml"),
        sequence(QString()),
        sequence(track(QString())),
        sequence(withGenerator + track(QStringLiteral("<clipitem/>"))),
        sequence(withGenerator, QStringLiteral("0")),
        sequence(withGenerator, QStringLiteral("")),
    };
    for (const QString& xml : cases) {
        EXPECT_FALSE(FCP7SubtitleTemplate::load(xml)) << qPrintable(xml);
        EXPECT_EQ(MQTimeUtility::sharedInstance().getFPS(), 24.0);
    }
}
