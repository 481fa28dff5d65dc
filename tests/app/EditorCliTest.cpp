// `marquee check`, `marquee shift` and `marquee tool`, run as the user runs them.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using testsupport::CommandRun;

CommandRun marquee(const QStringList& args) {
    return testsupport::runMarquee(args);
}

class EditorCli : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes) {
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString file(const QString& name, const QString& text) { return file(name, text.toUtf8()); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    static QString read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll())
                                           : QStringLiteral("<missing>");
    }
    // An error is one line on stderr, exit 2, nothing on stdout.
    static void expectError(const CommandRun& run, const QString& command) {
        EXPECT_EQ(run.exitCode, 2) << qPrintable(run.err);
        EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("marquee %1: ").arg(command)))
            << qPrintable(run.err);
        EXPECT_EQ(run.err.count(u'\n'), 1) << qPrintable(run.err);
    }

    QTemporaryDir dir_;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// check

TEST_F(EditorCli, CheckListsEachBackwardCodeWithItsPositionAndExitsOne) {
    const QString in =
        file(QStringLiteral("in.txt"), QStringLiteral("[00:00:01.00]A[00:00:03.00]\n"
                                                      "[00:00:02.00]B[00:00:04.00]\n"
                                                      "[00:00:05.000]three-digit codes are text\n"
                                                      "mid [00:00:00.05] text is text\n"
                                                      "x [00:00:00.10]\n"));
    const CommandRun run = marquee({QStringLiteral("check"), in});
    EXPECT_EQ(run.exitCode, 1) << qPrintable(run.err);
    EXPECT_EQ(run.out, QStringLiteral("2:1 [00:00:02.00]\n5:3 [00:00:00.10]\n"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST_F(EditorCli, CheckOfACleanTextExitsZeroSilently) {
    // Equal codes where one line ends and the next starts are not errors.
    const QString in = file(QStringLiteral("in.txt"),
                            QStringLiteral("\uFEFF[00:00:01.00]A[00:00:02.00]\r\n"
                                           "[00:00:02.00]B[00:00:03.00]\r\n\r\nuntimed\r\n"));
    const CommandRun run = marquee({QStringLiteral("check"), in});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
}

TEST_F(EditorCli, CheckReadsTheFramesAtTheGivenRate) {
    // 29 frames are just under a second at 30 fps but more than one at 25.
    const QString in =
        file(QStringLiteral("in.txt"), QStringLiteral("[00:00:01.29]A\n[00:00:02.00]B\n"));
    EXPECT_EQ(marquee({QStringLiteral("check"), in}).exitCode, 0);
    const CommandRun at25 =
        marquee({QStringLiteral("check"), in, QStringLiteral("--fps"), QStringLiteral("25")});
    EXPECT_EQ(at25.exitCode, 1);
    EXPECT_EQ(at25.out, QStringLiteral("2:1 [00:00:02.00]\n"));
}

TEST_F(EditorCli, CheckFixWritesTheAutoCorrectedText) {
    const QString in =
        file(QStringLiteral("in.txt"), QStringLiteral("[00:00:01.00]A[00:00:03.00]\n"
                                                      "[00:00:02.00]B[00:00:04.00]\n"
                                                      "[00:00:05.00]C[00:00:05.00]\n"));
    const QString out = path(QStringLiteral("fixed.txt"));
    const CommandRun run = marquee({QStringLiteral("check"), in, QStringLiteral("--fix"), out});
    EXPECT_EQ(run.exitCode, 1); // what was found is still reported
    EXPECT_EQ(run.out, QStringLiteral("2:1 [00:00:02.00]\n"));
    EXPECT_EQ(read(out), QStringLiteral("[00:00:01.00]A[00:00:03.00]\n"
                                        "[00:00:03.00]B[00:00:04.00]\n"
                                        "[00:00:05.00]C[00:00:05.15]\n"
                                        // the input's empty last line, kept as a line
                                        "\n"))
        << qPrintable(read(out));
    // The repaired text checks clean.
    EXPECT_EQ(marquee({QStringLiteral("check"), out}).exitCode, 0);
}

TEST_F(EditorCli, CheckRefusesBadInputWithExitTwoAndWritesNothing) {
    const QString good = file(QStringLiteral("good.txt"), QStringLiteral("[00:00:01.00]A\n"));
    const QString latin1 = file(QStringLiteral("latin1.txt"), QByteArray("caf\xe9\n"));
    const QString fix = path(QStringLiteral("fix.txt"));
    const QStringList cases[] = {
        {QStringLiteral("check")},
        {QStringLiteral("check"), path(QStringLiteral("missing.txt")), QStringLiteral("--fix"),
         fix},
        {QStringLiteral("check"), dir_.path(), QStringLiteral("--fix"), fix},
        {QStringLiteral("check"), latin1, QStringLiteral("--fix"), fix},
        {QStringLiteral("check"), good, QStringLiteral("--fps"), QStringLiteral("fast"),
         QStringLiteral("--fix"), fix},
        {QStringLiteral("check"), good, QStringLiteral("--fps"), QStringLiteral("0")},
        {QStringLiteral("check"), good, QStringLiteral("--fix")},
        {QStringLiteral("check"), good, QStringLiteral("--frobnicate")},
        {QStringLiteral("check"), good, good},
        {QStringLiteral("check"), good, QStringLiteral("--fix"),
         path(QStringLiteral("no/such/folder/fix.txt"))},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        expectError(marquee(args), QStringLiteral("check"));
        EXPECT_FALSE(QFileInfo::exists(fix));
    }
}

// ---------------------------------------------------------------------------------------------
// shift

TEST_F(EditorCli, ShiftMovesEveryCodeForwardOrBackward) {
    struct Case {
        const char* by;
        bool backward;
        const char* fps;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {"00:00:01.00", false, nullptr, QStringLiteral("[00:00:59.29]A[00:01:00.00]\nB\n"),
         QStringLiteral("[00:01:00.29]A[00:01:01.00]\nB\n")},
        {"[00:00:00.05]", false, nullptr, QStringLiteral("x [00:00:00.10] y"),
         QStringLiteral("x [00:00:00.15] y")},
        {"00:00:02.00", true, nullptr, QStringLiteral("[00:00:01.00]A[00:00:03.00]"),
         QStringLiteral("[00:00:00.00]A[00:00:01.00]")},
        {"01:00:00.10", true, "25", QStringLiteral("[01:00:01.00]A[01:00:02.20]"),
         QStringLiteral("[00:00:00.15]A[00:00:02.10]")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.by);
        const QString in = file(QStringLiteral("in.txt"), c.text);
        const QString out = path(QStringLiteral("out.txt"));
        QStringList args = {QStringLiteral("shift"), in, out, QStringLiteral("--by"),
                            QString::fromLatin1(c.by)};
        if (c.backward) {
            args << QStringLiteral("--backward");
        }
        if (c.fps) {
            args << QStringLiteral("--fps") << QString::fromLatin1(c.fps);
        }
        const CommandRun run = marquee(args);
        EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
        EXPECT_EQ(read(out), c.expected);
    }
}

TEST_F(EditorCli, ShiftRefusesBadArgumentsAndWritesNothing) {
    const QString in = file(QStringLiteral("in.txt"), QStringLiteral("[00:00:01.00]A\n"));
    const QString out = path(QStringLiteral("out.txt"));
    const auto shift = [&](QStringList extra) {
        return QStringList{QStringLiteral("shift")} + extra;
    };
    const QStringList cases[] = {
        shift({in, out}),
        shift({in, QStringLiteral("--by"), QStringLiteral("00:00:01.00")}),
        shift({in, out, QStringLiteral("--by"), QStringLiteral("1 second")}),
        shift({in, out, QStringLiteral("--by"), QStringLiteral("00:61:00.00")}),
        shift({in, out, QStringLiteral("--by"), QStringLiteral("00:00:00.30")}),
        shift({in, out, QStringLiteral("--by"), QStringLiteral("00:00:00.25"),
               QStringLiteral("--fps"), QStringLiteral("25")}),
        shift({path(QStringLiteral("missing.txt")), out, QStringLiteral("--by"),
               QStringLiteral("00:00:01.00")}),
        shift({in, out, QStringLiteral("--by")}),
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        expectError(marquee(args), QStringLiteral("shift"));
        EXPECT_FALSE(QFileInfo::exists(out));
    }
}

// ---------------------------------------------------------------------------------------------
// tool

TEST_F(EditorCli, ToolsRewriteTheText) {
    struct Case {
        const char* tool;
        QString text;
        QString with; // --with FILE when not null
        QString expected;
        QString cut; // --cut FILE when not null
    };
    const Case cases[] = {
        {"bilingual", QStringLiteral("A\n\nB\nC"), {}, QStringLiteral("A⏎B\nC"), {}},
        {"cut-odd",
         QStringLiteral("1\n2\n3\n4\n5"),
         {},
         QStringLiteral("2\n4\n"),
         QStringLiteral("1\n3\n5\n")},
        {"cut-even",
         QStringLiteral("1\n 2\n\n3\n4 \n5"),
         {},
         QStringLiteral("1\n3\n5\n"),
         QStringLiteral("2\n4\n")},
        {"punctuation", QStringLiteral("Hello，world。"), {}, QStringLiteral("Hello\nworld\n"), {}},
        {"remove-empty", QStringLiteral("A\n\n  B \n\n"), {}, QStringLiteral("A\nB"), {}},
        {"timecodes",
         QStringLiteral("(01;02;03;04)Hi a//b"),
         {},
         QStringLiteral("[01:02:03.04]Hi a⏎b"),
         {}},
        {"replace-text",
         QStringLiteral("[00:00:01.00]one[00:00:02.00]\nuntimed"),
         QStringLiteral("uno\n\ndos\n"),
         QStringLiteral("[00:00:01.00]uno[00:00:02.00]\nuntimed\n"),
         {}},
        {"consolidate",
         QStringLiteral("X\n\nY"),
         QStringLiteral("x\ny"),
         QStringLiteral("X\nx\nY\ny"),
         {}},
        {"paste-timecodes",
         QStringLiteral("Hi\nThere"),
         QStringLiteral("[00:00:01.00] [00:00:02.00]\n[00:00:03.00][00:00:04.00]"),
         QStringLiteral("[00:00:01.00]Hi[00:00:02.00]\n[00:00:03.00]There[00:00:04.00]\n"),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        const QString in = file(QStringLiteral("in.txt"), c.text);
        const QString out = path(QStringLiteral("out-%1.txt").arg(QLatin1String(c.tool)));
        QStringList args = {QStringLiteral("tool"), QString::fromLatin1(c.tool), in, out};
        if (!c.with.isNull()) {
            args << QStringLiteral("--with") << file(QStringLiteral("with.txt"), c.with);
        }
        const QString cut = path(QStringLiteral("cut.txt"));
        if (!c.cut.isNull()) {
            args << QStringLiteral("--cut") << cut;
        }
        const CommandRun run = marquee(args);
        EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
        EXPECT_EQ(read(out), c.expected);
        if (!c.cut.isNull()) {
            EXPECT_EQ(read(cut), c.cut);
        }
    }
}

TEST_F(EditorCli, ToolRefusesALineCountMismatchAndOtherBadInput) {
    const QString ten =
        file(QStringLiteral("ten.txt"), QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"));
    const QString nine =
        file(QStringLiteral("nine.txt"), QStringLiteral("a\nb\nc\nd\ne\nf\ng\nh\ni\n"));
    const QString out = path(QStringLiteral("out.txt"));
    const QString cut = path(QStringLiteral("cut.txt"));

    for (const char* tool : {"replace-text", "consolidate"}) {
        const CommandRun run = marquee({QStringLiteral("tool"), QString::fromLatin1(tool), ten, out,
                                        QStringLiteral("--with"), nine});
        expectError(run, QStringLiteral("tool"));
        EXPECT_TRUE(run.err.contains(
            QStringLiteral("The line quantity of oringal 10 is not the same as replace text 9")))
            << qPrintable(run.err);
        EXPECT_FALSE(QFileInfo::exists(out));
    }

    const auto tool = [](QStringList extra) { return QStringList{QStringLiteral("tool")} + extra; };
    const QStringList cases[] = {
        tool({QStringLiteral("sharpen"), ten, out}),
        tool({QStringLiteral("replace-text"), ten, out}),
        tool({QStringLiteral("bilingual"), ten, out, QStringLiteral("--with"), nine}),
        tool({QStringLiteral("bilingual"), ten, out, QStringLiteral("--cut"), cut}),
        tool({QStringLiteral("consolidate"), ten, out, QStringLiteral("--with"),
              path(QStringLiteral("missing.txt"))}),
        tool({QStringLiteral("bilingual"), path(QStringLiteral("missing.txt")), out}),
        tool({QStringLiteral("bilingual"), ten}),
        // The cut lines cannot be written: the kept lines are not written either.
        tool({QStringLiteral("cut-odd"), ten, out, QStringLiteral("--cut"),
              path(QStringLiteral("no/such/folder/cut.txt"))}),
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        expectError(marquee(args), QStringLiteral("tool"));
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_FALSE(QFileInfo::exists(cut));
    }
}
