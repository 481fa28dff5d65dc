#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "editor/SubtitleTextModel.h"
#include "formats/AvidSubtitleFile.h"
#include "formats/MQExporter.h"

#include <QFile>
#include <QTemporaryDir>

using formatstest::u8;
using testsupport::ScopedFrameRate;

TEST(FrameTimes, RoundedWithoutCarry) {
    struct Case {
        double fps;
        double seconds;
        const char* stl;
        const char* encore;
    };
    const Case cases[] = {
        {25, 1.5, "00:00:01:13", "00;00;01;13"},
        {30, 1.999, "00:00:01:30", "00;00;01;30"},
        {25, 3723.0, "01:02:03:00", "01;02;03;00"},
    };
    for (const Case& c : cases) {
        ScopedFrameRate rate(c.fps);
        EXPECT_EQ(MQExporter::stlTimeStringFromTimeInterval(c.seconds), u8(c.stl));
        EXPECT_EQ(MQExporter::textScriptTimeStringFromTimeInterval(c.seconds), u8(c.encore));
    }
}

TEST(StlAndEncore, FilesAreByteExact) {
    ScopedFrameRate rate(25);
    const MQExporter exporter(u8("[00:00:01.13]A⏎B[00:00:02.00]\n[00:00:03.00]C[00:00:04.00]"), 0,
                              0, 0);
    EXPECT_EQ(exporter.getSTLFileContent(),
              u8("//This STL file is genetated by Marquee\n00:00:01:13, 00:00:02:00, A⏎B\n"
                 "00:00:03:00, 00:00:04:00, C"));
    EXPECT_EQ(exporter.getTextScriptFileContent(),
              u8("0 00;00;01;13 00;00;02;00 A\nB\n1 00;00;03;00 00;00;04;00 C"));
    const MQExporter empty(u8("no codes"), 0, 0, 0);
    EXPECT_EQ(empty.getSTLFileContent(), u8("//This STL file is genetated by Marquee"));
    EXPECT_EQ(empty.getTextScriptFileContent(), QString());
}

TEST(Avid, WritesTheEditorsTimedLines) {
    ScopedFrameRate rate(25);
    SubtitleTextModel editor;
    editor.setString(u8("[00:00:01.12]Hi[00:00:02.00]\n\nuntimed\n[00:00:03.00]open"));
    EXPECT_EQ(AvidSubtitleFile::convertSubtitleToAvidText(editor.getAllSubtitles()),
              u8("@ This file written with the Avid Caption plugin, version 1\n\n"
                 "<begin subtitles>\n\n00:00:01:12 00:00:02:00\nHi\n\n\n\n<end subtitles>"));
    EXPECT_EQ(AvidSubtitleFile::convertToAvidTimeFormat(u8("[01:02:03.04]")), u8("01:02:03:04"));
}

TEST(Writers, SaveReportsFailure) {
    QTemporaryDir dir;
    const MQExporter exporter(u8("[00:00:01.00]A[00:00:02.00]"), 0, 0, 0);
    QString error;
    EXPECT_FALSE(exporter.saveSrtFile(dir.filePath(QStringLiteral("no/such/dir/x.srt")), &error));
    EXPECT_FALSE(error.isEmpty());
    const QString path = dir.filePath(QStringLiteral("x.srt"));
    ASSERT_TRUE(exporter.saveSrtFile(path, &error));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("0\n00:00:01,000 --> 00:00:02,000\nA\n"));
    AvidSubtitleFile avid(dir.filePath(QStringLiteral("no/such/dir/a.txt")));
    EXPECT_FALSE(avid.writeSubtitleToFile({}, &error));
}
