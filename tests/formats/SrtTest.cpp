#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "editor/SubtitleTextModel.h"
#include "formats/MQExporter.h"
#include "formats/SRTFile.h"

using formatstest::u8;
using testsupport::ScopedFrameRate;

TEST(SrtImport, TimingLines) {
    struct Case {
        const char* line;
        bool timing;
    };
    const Case cases[] = {
        {"00:00:01,000 --> 00:00:02,000", true},
        {"00:00:01,000-->00:00:02,000", true},
        {"0:00:01,000 --> 0:00:02,000", false},
        {"00:00:01.000 --> 00:00:02.000", false},
        {"00:00:01,000 --> 00:00:02,000 X1:40 X2:600", true},
        {"00:00:01,000-->00:00:02,00000:00:01,000-->00:00:02,000", false},
        // Any character but a line end stands where the digits go.
        {"00:00:0x,000 --> 00:00:02,000", true},
        {"00:00:0\u0663,000 --> 00:00:02,000", true},
        {"00:00:0\U0001F600,000 --> 00:00:02,000", true},
        {"00:00:0\u2028,000 --> 00:00:02,000", false},
        {"00:00:0\v,000 --> 00:00:02,000", false},
    };
    for (const Case& c : cases) {
        QString line = u8(c.line);
        line.remove(u' ');
        EXPECT_EQ(SRTFile::isTimecodeString(line), c.timing) << c.line;
    }
}

TEST(SrtImport, CuesBecomeEditorLines) {
    struct Case {
        const char* name;
        float fps;
        const char* srt;
        const char* editor;
    };
    const Case cases[] = {
        {"frames rounded half up", 25, "1\n00:00:01,500 --> 00:00:03,040\ntext\n",
         "[00:00:01.13]text[00:00:03.01]"},
        {"no carry into the seconds", 30, "1\n00:00:01,999 --> 00:00:02,000\nx\n",
         "[00:00:01.30]x[00:00:02.00]"},
        {"two lines, CR LF, no blank line between cues", 25,
         "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\nWorld\r\n2\r\n00:00:03,000 --> "
         "00:00:04,000\r\nBye",
         "[00:00:01.00]Hello⏎World[00:00:02.00]\n[00:00:03.00]Bye[00:00:04.00]"},
        {"digits directly after the timing are text", 25,
         "1\n00:00:01,000 --> 00:00:02,000\n42\n\n2\n00:00:03,000 --> 00:00:04,000\n7\n",
         "[00:00:01.00]42[00:00:02.00]\n[00:00:03.00]7[00:00:04.00]"},
        {"a digits line not followed by a timing line is text", 25,
         "1\n00:00:01,000 --> 00:00:02,000\nCount\n3\n2\n1\n",
         "[00:00:01.00]Count⏎3⏎2[00:00:02.00]"},
        {"text before the first cue is dropped", 25,
         "Title\n\n1\n00:00:01,000 --> 00:00:02,000\nx\n", "[00:00:01.00]x[00:00:02.00]"},
        {"a cue without text swallows the next cue", 25,
         "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n",
         "[00:00:01.00]2⏎00:00:03,000 --> 00:00:04,000⏎B[00:00:02.00]"},
        {"a last cue without text is dropped", 25,
         "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\n",
         "[00:00:01.00]A[00:00:02.00]"},
        {"tags are carried as text", 25, "1\n00:00:01,000 --> 00:00:02,000\n<i>x</i>\n",
         "[00:00:01.00]<i>x</i>[00:00:02.00]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SRTFile::convertToText(u8(c.srt), c.fps), u8(c.editor)) << c.name;
    }
}

TEST(SrtImport, FilesThatDoNotConvert) {
    const char* const cases[] = {
        "",
        "1\n00:00:01,000",                                 // 15 characters or fewer
        "00:00:01,000 --> 00:00:02,000\nno cue numbers\n", // no cue number
        "1\n0:00:01,000 --> 0:00:02,000\none-digit hours\n",
        "1\n00:00:01.000 --> 00:00:02.000\nperiods\n",
    };
    for (const char* srt : cases) {
        EXPECT_EQ(SRTFile::convertToText(u8(srt), 25), QString()) << srt;
    }
}

TEST(SrtImport, GenerateSrtLinesTakesTrimmedLines) {
    const QStringList lines = {"1", "00:00:01,000 --> 00:00:02,000", "a",
                               "2", "00:00:02,000 --> 00:00:03,000", "b"};
    EXPECT_EQ(SRTFile::generateSRTLines(lines, 25),
              QStringList({"[00:00:01.00]a[00:00:02.00]", "[00:00:02.00]b[00:00:03.00]"}));
}

TEST(SrtExport, ExtractionPairsConsecutiveTimecodes) {
    ScopedFrameRate rate(25);
    const QString text = u8("intro ignored\n[00:00:01.00]A[00:00:02.00][00:00:03.00]B⏎C"
                            "[00:00:04.00]\nD on its own line\n[00:00:05.00]tail");
    const auto subtitles = MQExporter::generateSubtitleLines(text, 10.5, 1, 25);
    ASSERT_EQ(subtitles.size(), 4u);
    EXPECT_EQ(subtitles[0].text, u8("A"));
    EXPECT_EQ(subtitles[1].text, u8("B⏎C"));
    EXPECT_DOUBLE_EQ(subtitles[1].startTime, 3.0);
    // Text standing between two timecodes on lines of its own runs from one to the other.
    EXPECT_EQ(subtitles[2].text, u8("D on its own line"));
    EXPECT_DOUBLE_EQ(subtitles[2].startTime, 4.0);
    EXPECT_DOUBLE_EQ(subtitles[2].endTime, 5.0);
    // Text after the last code ends at the movie's end.
    EXPECT_EQ(subtitles[3].text, u8("tail"));
    EXPECT_DOUBLE_EQ(subtitles[3].endTime, 10.5);
    EXPECT_EQ(subtitles[3].startNumerator, 125);
    EXPECT_EQ(subtitles[3].endNumerator, 262);
}

TEST(SrtExport, FileContentIsByteExact) {
    ScopedFrameRate rate(25);
    struct Case {
        const char* name;
        const char* editor;
        const char* srt;
    };
    const Case cases[] = {
        {"cues numbered from 0, empty stretch skipped",
         "[00:00:01.00]A[00:00:02.00][00:00:03.00]B[00:00:04.00]",
         "0\n00:00:01,000 --> 00:00:02,000\nA\n\n1\n00:00:03,000 --> 00:00:04,000\nB\n"},
        {"milliseconds cut, not rounded", "[00:00:01.09]x[01:02:03.24]",
         "0\n00:00:01,359 --> 01:02:03,960\nx\n"},
        {"line breaks restored", "[00:00:01.00]Hello⏎World[00:00:02.00]",
         "0\n00:00:01,000 --> 00:00:02,000\nHello\nWorld\n"},
        {"no timecode", "just text", ""},
        {"text after the last code without a movie", "[00:00:01.00]open",
         "0\n00:00:01,000 --> 00:00:00,000\nopen\n"},
    };
    for (const Case& c : cases) {
        const MQExporter exporter(u8(c.editor), 0, 0, 0);
        EXPECT_EQ(exporter.getSRTFileContent(), u8(c.srt)) << c.name;
    }
}

TEST(SrtExport, ReadsTheEditorsText) {
    ScopedFrameRate rate(25);
    SubtitleTextModel editor;
    editor.setString(u8("[00:00:01.00]A[00:00:02.00]"));
    editor.setFcpxFrameDuration(1, 25);
    const MQExporter exporter(editor, 0);
    const auto subtitles = exporter.generateSubtitleLines();
    ASSERT_EQ(subtitles.size(), 1u);
    EXPECT_EQ(subtitles[0].startNumerator, 25);
    EXPECT_EQ(subtitles[0].endNumerator, 50);
}
