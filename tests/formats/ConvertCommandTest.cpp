// `marquee convert` run as the user runs it.
#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "app/MQProjectFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using formatstest::fixturePath;
using formatstest::u8;

namespace {

using testsupport::CommandRun;

CommandRun marquee(const QStringList& args) {
    return testsupport::runMarquee(args);
}

// The file's bytes, shown as text in failure messages.
QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                          : QStringLiteral("<missing>");
}

} // namespace

TEST(ConvertCommand, EveryWriterRoundTripsItsFixture) {
    QTemporaryDir dir;
    struct Case {
        const char* input;
        const char* output;
        const char* to;
        const char* expected;
    };
    const Case cases[] = {
        {"roundtrip.srt", "out.srt", nullptr, "roundtrip.srt"},
        {"roundtrip.vtt", "out.vtt", nullptr, "roundtrip.vtt"},
        {"roundtrip.vtt", "out.webvtt", "webvtt", "roundtrip.vtt"},
        {"roundtrip-subviewer2.sub", "out.sub", nullptr, "roundtrip-subviewer2.sub"},
        {"roundtrip-subviewer1.sub", "out1.sub", "subviewer1", "roundtrip-subviewer1.sub"},
        {"roundtrip.sbv", "out.sbv", nullptr, "roundtrip.sbv"},
        {"roundtrip.srt", "out-from-srt.vtt", nullptr, "roundtrip.vtt"},
        {"roundtrip.vtt", "out-from-vtt.srt", nullptr, "roundtrip.srt"},
        {"editor.txt", "out.txt", nullptr, "editor.txt"},
        {"editor.txt", "out.stl", nullptr, "editor.stl"},
        {"editor.txt", "encore.txt", "encore", "editor.encore.txt"},
        {"editor.txt", "avid.txt", "avid", "editor.avid.txt"},
    };
    for (const Case& c : cases) {
        const QString out = dir.filePath(u8(c.output));
        QStringList args = {QStringLiteral("convert"), fixturePath(u8(c.input)), out,
                            QStringLiteral("--fps"), QStringLiteral("4")};
        if (c.to) {
            args << QStringLiteral("--to") << u8(c.to);
        }
        const CommandRun run = marquee(args);
        EXPECT_EQ(run.exitCode, 0) << c.input << " → " << c.output << ": " << qPrintable(run.err);
        EXPECT_EQ(contents(out), contents(fixturePath(u8(c.expected))))
            << c.input << " → " << c.output;
    }
}

TEST(ConvertCommand, FailuresExitWithTwoAndWriteNothing) {
    QTemporaryDir dir;
    QFile notSrt(dir.filePath(QStringLiteral("bad.srt")));
    ASSERT_TRUE(notSrt.open(QIODevice::WriteOnly));
    notSrt.write("this is not an SRT file at all\n");
    notSrt.close();
    QFile unknown(dir.filePath(QStringLiteral("x.vtt")));
    ASSERT_TRUE(unknown.open(QIODevice::WriteOnly));
    unknown.write("nothing any format claims\n");
    unknown.close();
    QFile notProject(dir.filePath(QStringLiteral("bad.mqp")));
    ASSERT_TRUE(notProject.open(QIODevice::WriteOnly));
    notProject.write("<plist><array/></plist>");
    notProject.close();
    const QString out = dir.filePath(QStringLiteral("out.vtt"));
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{dir.filePath(QStringLiteral("bad.srt")), out}, "Can not translate the srt file"},
        {{dir.filePath(QStringLiteral("missing.srt")), out}, "Can not read the srt file"},
        {{dir.filePath(QStringLiteral("x.vtt")), out}, "No subtitle format"},
        {{fixturePath(QStringLiteral("roundtrip.srt")), dir.filePath(QStringLiteral("o.xyz"))},
         "unknown output format"},
        {{fixturePath(QStringLiteral("roundtrip.srt")), out, QStringLiteral("--fps"),
          QStringLiteral("fast")},
         "invalid frame rate"},
        {{fixturePath(QStringLiteral("roundtrip.srt"))}, "usage"},
        {{dir.filePath(QStringLiteral("bad.mqp")), out}, "Can not read the project bad.mqp"},
        {{fixturePath(QStringLiteral("roundtrip.srt")), out, QStringLiteral("--movie"),
          QStringLiteral("m.mov")},
         "--movie is recorded only in a .mqp project"},
        {{fixturePath(QStringLiteral("roundtrip.srt")),
          dir.filePath(QStringLiteral("no/dir/o.vtt"))},
         "Can not write"},
    };
    for (const Case& c : cases) {
        const CommandRun run = marquee(QStringList{QStringLiteral("convert")} << c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_TRUE(run.err.contains(c.message)) << qPrintable(run.err);
        EXPECT_EQ(run.err.count('\n'), 1) << qPrintable(run.err);
        EXPECT_FALSE(QFile::exists(out)) << c.message;
    }
}

TEST(ConvertCommand, ProjectFilesCarryTheEditorText) {
    QTemporaryDir dir;
    const QString srt = fixturePath(QStringLiteral("roundtrip.srt"));
    const QString editorText = dir.filePath(QStringLiteral("editor.txt"));
    const QString project = dir.filePath(QStringLiteral("new.MQP"));
    const QString movie = dir.filePath(QStringLiteral("movie.mov"));
    const QString fps = QStringLiteral("4");
    ASSERT_EQ(marquee({"convert", srt, editorText, "--fps", fps}).exitCode, 0);
    const CommandRun written = marquee({"convert", srt, project, "--fps", fps, "--movie", movie});
    ASSERT_EQ(written.exitCode, 0) << written.err.data();

    QString error;
    const std::optional<MQProjectFile> read = MQProjectFile::read(project, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->subtitleText, contents(editorText));
    EXPECT_EQ(read->moviePath, movie);
    MQProjectFile defaults;
    defaults.subtitleText = read->subtitleText;
    defaults.moviePath = read->moviePath;
    EXPECT_EQ(read->toDictionary(), defaults.toDictionary()) << "other fields at their defaults";

    // Read back as input, the project gives the file it was made from.
    const QString back = dir.filePath(QStringLiteral("back.srt"));
    const CommandRun reread = marquee({"convert", project, back, "--fps", fps});
    ASSERT_EQ(reread.exitCode, 0) << reread.err.data();
    EXPECT_EQ(contents(back), contents(srt));
}

TEST(ConvertCommand, FormatsListsReadersAndWriters) {
    const CommandRun run = marquee({QStringLiteral("formats")});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* name : {"WebVTT (*.vtt)", "SubViewer 1.0 (*.sub)", "SubViewer 2.0 (*.sub)",
                             "YouTube sbv (*.sbv)", "SRT", "STL", "Encore", "Avid"}) {
        EXPECT_TRUE(run.out.contains(name)) << name;
    }
}
