#include "app/MQProjectFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

MQProjectFile sampleProject() {
    MQProjectFile project;
    project.fcp7XMLString = QStringLiteral("<xmeml><v>a&amp;b\u00e9</v></xmeml>");
    project.fcpxXMLString = QStringLiteral("<fcpxml version=\"1.8\"/>");
    project.moviePath = QStringLiteral("/media/movies/clip 1.mov");
    // Blank lines, leading blanks and a line-break mark must come back character for character.
    project.subtitleText =
        QStringLiteral("  [00:00:01.00]One\u23CETwo[00:00:02.00]\n\n   \n<tag> & \"q\"\n");
    project.needComposition = true;
    project.onlyAssembleAudio = false;
    project.fcp7MovieMainTrackXMLString = QStringLiteral("<track><enabled>TRUE</enabled></track>");
    project.fcp7MovieSecondTrackXMLString = QString();
    return project;
}

void expectSameProject(const MQProjectFile& a, const MQProjectFile& b) {
    EXPECT_EQ(a.fcp7XMLString, b.fcp7XMLString);
    EXPECT_EQ(a.fcpxXMLString, b.fcpxXMLString);
    EXPECT_EQ(a.moviePath, b.moviePath);
    EXPECT_EQ(a.subtitleText, b.subtitleText);
    EXPECT_EQ(a.needComposition, b.needComposition);
    EXPECT_EQ(a.onlyAssembleAudio, b.onlyAssembleAudio);
    EXPECT_EQ(a.fcp7MovieMainTrackXMLString, b.fcp7MovieMainTrackXMLString);
    EXPECT_EQ(a.fcp7MovieSecondTrackXMLString, b.fcp7MovieSecondTrackXMLString);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

const QByteArray kPlistHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n";

} // namespace

TEST(ProjectFile, RoundTripKeepsEveryField) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.mqp"));
    const MQProjectFile project = sampleProject();
    ASSERT_TRUE(project.writeToUrl(path));
    const auto read = MQProjectFile::read(path);
    ASSERT_TRUE(read);
    expectSameProject(*read, project);
}

TEST(ProjectFile, WritesApplesPlistLayoutWithAllEightKeys) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.mqp"));
    ASSERT_TRUE(MQProjectFile().writeToUrl(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("<plist version=\"1.0\">")));
    for (const char* key :
         {"xml", "fcpxxml", "movie", "text", "needComposition", "onlyAssembleAudio",
          "fcp7MovieMainTrackXMLString", "fcp7MovieSecondTrackXMLString"}) {
        EXPECT_TRUE(text.contains(QStringLiteral("<key>%1</key>").arg(QLatin1String(key)))) << key;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("<false/>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<string></string>")));
}

TEST(ProjectFile, ReadsAnotherWritersFileKeyByKey) {
    // Apple's own layout: keys in any order, a key missing, wrongly typed values, an unknown key.
    const QByteArray plist = kPlistHead +
                             "<dict>\n"
                             "\t<key>unknown</key>\n\t<array><string>x</string></array>\n"
                             "\t<key>text</key>\n\t<string>[00:00:01.00]Hi[00:00:02.00]</string>\n"
                             "\t<key>movie</key>\n\t<integer>42</integer>\n"
                             "\t<key>needComposition</key>\n\t<string>Yes</string>\n"
                             "\t<key>onlyAssembleAudio</key>\n\t<integer>0</integer>\n"
                             "\t<key>xml</key>\n\t<true/>\n"
                             "\t<key>fcpxxml</key>\n\t<string><![CDATA[<fcpxml/>]]></string>\n"
                             "</dict>\n</plist>\n";
    QTemporaryDir dir;
    const auto project = MQProjectFile::read(writeFile(dir, QStringLiteral("other.mqp"), plist));
    ASSERT_TRUE(project);
    EXPECT_EQ(project->subtitleText, QStringLiteral("[00:00:01.00]Hi[00:00:02.00]"));
    EXPECT_EQ(project->moviePath, QString());
    EXPECT_EQ(project->fcp7XMLString, QString());
    EXPECT_EQ(project->fcpxXMLString, QStringLiteral("<fcpxml/>"));
    EXPECT_TRUE(project->needComposition);
    EXPECT_FALSE(project->onlyAssembleAudio);
    EXPECT_EQ(project->fcp7MovieMainTrackXMLString, QString());
}

TEST(ProjectFile, DeeplyNestedValuesDoNotExhaustTheStack) {
    const int depth = 200000;
    const QByteArray plist = kPlistHead + "<dict>\n<key>unknown</key>" +
                             QByteArray("<array>").repeated(depth) +
                             QByteArray("</array>").repeated(depth) +
                             "\n<key>text</key><string>kept</string>\n</dict>\n</plist>\n";
    const std::optional<QVariantMap> dictionary = PropertyList::readDictionary(plist);
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->value(QStringLiteral("text")), QStringLiteral("kept"));
    // Shallow nesting is read as it stands.
    const auto nested = PropertyList::readDictionary(
        kPlistHead + "<dict><key>a</key><array><array><dict><key>b</key><integer>3</integer>"
                     "</dict></array></array></dict></plist>");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->value(QStringLiteral("a"))
                  .toList()
                  .value(0)
                  .toList()
                  .value(0)
                  .toMap()
                  .value(QStringLiteral("b")),
              qlonglong(3));
}

TEST(ProjectFile, BooleanReadingsOfOtherTypes) {
    struct Case {
        QVariant value;
        bool expected;
    };
    const Case cases[] = {
        {QVariant(), true}, // absent: the default
        {true, true},
        {false, false},
        {qlonglong(0), false},
        {qlonglong(-3), true},
        {0.5, true},
        {QStringLiteral("yes"), true},
        {QStringLiteral("T"), true},
        {QStringLiteral("7"), true},
        {QStringLiteral("0"), false},
        {QStringLiteral("no"), false},
        {QStringLiteral(""), false},
        {QVariantList{}, true}, // not readable as a boolean: the default
    };
    for (const Case& c : cases) {
        QVariantMap dictionary;
        if (c.value.isValid()) {
            dictionary.insert(QStringLiteral("k"), c.value);
        }
        EXPECT_EQ(DictionaryAccess::getBoolValueForKey(dictionary, QStringLiteral("k"), true),
                  c.expected)
            << qPrintable(c.value.toString());
    }
}

TEST(ProjectFile, UnreadableFilesGiveDefaults) {
    QTemporaryDir dir;
    const QString cases[] = {
        dir.filePath(QStringLiteral("missing.mqp")),
        writeFile(dir, QStringLiteral("garbage.mqp"), "not a plist at all"),
        writeFile(dir, QStringLiteral("array.mqp"), kPlistHead + "<array/></plist>"),
        writeFile(dir, QStringLiteral("cut.mqp"), kPlistHead + "<dict><key>text</key><string>x"),
    };
    for (const QString& path : cases) {
        EXPECT_FALSE(MQProjectFile::read(path)) << qPrintable(path);
        expectSameProject(MQProjectFile::initWithFilePath(path), MQProjectFile());
    }
}

TEST(ProjectFile, FailedWriteIsReportedAndKeepsTheEarlierFile) {
    QTemporaryDir dir;
    // A path under a regular file cannot be created, not even by root.
    const QString blocker = writeFile(dir, QStringLiteral("plain-file"), "x");
    QString error;
    EXPECT_FALSE(sampleProject().writeToUrl(blocker + QStringLiteral("/p.mqp"), &error));
    EXPECT_FALSE(error.isEmpty());

    // A target that is a folder cannot be replaced: the write fails and the folder stays.
    const QString folderTarget = dir.filePath(QStringLiteral("folder.mqp"));
    ASSERT_TRUE(QDir().mkpath(folderTarget));
    EXPECT_FALSE(sampleProject().writeToUrl(folderTarget));
    EXPECT_TRUE(QFileInfo(folderTarget).isDir());
}
