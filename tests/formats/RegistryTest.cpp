#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "formats/FormatRegistry.h"
#include "formats/TextFileWriter.h"

#include <QFile>
#include <QTemporaryDir>

using formatstest::cueSummary;
using formatstest::u8;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QString detectedName(const QString& path) {
    Subtitle subtitle;
    const SubtitleFormatPtr format = FormatRegistry::loadSubtitleFile(subtitle, path, false);
    return format ? format->name() : QStringLiteral("none");
}

} // namespace

TEST(FormatRegistry, FormatsInMenuAndDetectionOrder) {
    QStringList names;
    for (const auto& format : FormatRegistry::allSubtitleFormats()) {
        names << QStringLiteral("%1 (*.%2)").arg(format->name(), format->extension());
        EXPECT_TRUE(format->isTimeBased());
        EXPECT_FALSE(format->isFrameBased());
    }
    EXPECT_EQ(names, QStringList({"WebVTT (*.vtt)", "SubViewer 1.0 (*.sub)",
                                  "SubViewer 2.0 (*.sub)", "YouTube sbv (*.sbv)"}));
}

TEST(FormatRegistry, DetectionByContentNotExtension) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* format;
    };
    const Case cases[] = {
        {"a.sub", "00:00:01.000 --> 00:00:02.000\nvtt in a sub file\n", "WebVTT"},
        {"b.sub", "[00:00:01]\nHi\n[00:00:02]\n", "SubViewer 1.0"},
        {"c.sub", "00:00:01.50,00:00:03.00\nHi\n", "SubViewer 2.0"},
        {"d.txt", "0:00:01.000,0:00:02.000\nHi\n", "YouTube sbv"},
        {"crlf.vtt", "WEBVTT\r\n\r\n00:01.000 --> 00:02.000\r\nHi\r\n", "WebVTT"},
        {"cr-only.vtt", "WEBVTT\r\r00:01.000 --> 00:02.000\rHi\r", "none"},
        {"empty.vtt", "", "none"},
        {"garbage.sbv", "no subtitles here\n", "none"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(detectedName(writeFile(dir, u8(c.name), c.bytes)), u8(c.format)) << c.name;
    }
}

TEST(FormatRegistry, CrLfFileReadsLikeLfFile) {
    QTemporaryDir dir;
    Subtitle lf;
    Subtitle crlf;
    FormatRegistry::loadSubtitleFile(
        lf, writeFile(dir, QStringLiteral("lf.sbv"), "0:00:01.000,0:00:02.000\nA\nB\n"), false);
    FormatRegistry::loadSubtitleFile(
        crlf, writeFile(dir, QStringLiteral("crlf.sbv"), "0:00:01.000,0:00:02.000\r\nA\r\nB\r\n"),
        false);
    EXPECT_EQ(cueSummary(crlf), cueSummary(lf));
    EXPECT_EQ(cueSummary(lf), QStringList({u8("1000-2000 A⏎B")}));
}

TEST(FormatRegistry, ErrorsAsManyAsSubtitlesAreNotClaimed) {
    // One cue, one line that is not a timing line while one was expected.
    const auto& sbv = FormatRegistry::allSubtitleFormats()[3];
    EXPECT_FALSE(sbv->isMine(formatstest::fileLines("junk\n0:00:01.000,0:00:02.000\nA\n"), {}));
    EXPECT_TRUE(sbv->isMine(
        formatstest::fileLines("junk\n0:00:01.000,0:00:02.000\nA\n\n0:00:03.000,0:00:04.000\nB"),
        {}));
}

TEST(FormatRegistry, SubtitleLoadsThroughTheInstalledLoader) {
    FormatRegistry::allSubtitleFormats();
    QTemporaryDir dir;
    Subtitle subtitle;
    const SubtitleFormatPtr format = subtitle.loadSubtitle(writeFile(
        dir, QStringLiteral("x.vtt"), "WEBVTT\n\n00:01.000 --> 00:02.000\n<v Bob>Hi</v>\n"));
    ASSERT_TRUE(format);
    EXPECT_EQ(subtitle.format, format);
    EXPECT_EQ(subtitle.header, u8("WEBVTT"));
    EXPECT_EQ(cueSummary(subtitle), QStringList({u8("1000-2000 Hi")}));
}

TEST(FormatRegistry, OpenedFileBecomesEditorText) {
    testsupport::ScopedFrameRate rate(25);
    QTemporaryDir dir;
    const auto opened = FormatRegistry::openSubtitleFile(
        writeFile(dir, QStringLiteral("x.vtt"),
                  "WEBVTT\n\n00:01.000 --> 00:02.000\nA\nB\n\n00:03.000 --> 00:04.000\nC\n"));
    ASSERT_TRUE(opened.format);
    EXPECT_EQ(opened.editorText, u8("[00:00:01.00]A⏎B[00:00:02.00]\n[00:00:03.00]C[00:00:04.00]"));
    const auto none =
        FormatRegistry::openSubtitleFile(writeFile(dir, QStringLiteral("y.vtt"), "nothing"));
    EXPECT_FALSE(none.format);
    EXPECT_TRUE(none.editorText.isEmpty());
}

TEST(FormatRegistry, GenericExportSkipsUntimedLinesAndRestoresBreaks) {
    testsupport::ScopedFrameRate rate(25);
    SubtitleLineList lines;
    const auto add = [&](double start, double end, const char* text) {
        auto line = SubtitleLine::create();
        if (start >= 0) {
            line->setStartTime(start);
        }
        if (end >= 0) {
            line->setEndTime(end);
        }
        line->setText(u8(text));
        lines.push_back(line);
    };
    add(1, 2, "A⏎B");
    add(-1, -1, "");
    add(3, -1, "still to be timed");
    add(-1, 4, "no start");
    add(5, 6, "C");
    const auto vtt = FormatRegistry::formatNamed(QStringLiteral("WebVTT"));
    EXPECT_EQ(FormatRegistry::exportText(*vtt, lines),
              u8("WEBVTT\n\n00:01.000 --> 00:02.000\nA\nB\n\n00:05.000 --> 00:06.000\nC"));
    // The editor's own lines keep their marker.
    EXPECT_EQ(lines[0]->text(), u8("A⏎B"));
}

TEST(FormatRegistry, FailedWritesAreReportedAndLeaveTheTargetAlone) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(writeTextFileAtomically(dir.filePath(QStringLiteral("missing/dir/out.vtt")),
                                         u8("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    const QString target = writeFile(dir, QStringLiteral("keep.vtt"), "old");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = writeTextFileAtomically(target, u8("new"), &error);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (written) {
        GTEST_SKIP() << "running with permission to write anywhere";
    }
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
    EXPECT_TRUE(writeTextFileAtomically(dir.filePath(QStringLiteral("ok.vtt")), u8("é"), nullptr));
}
