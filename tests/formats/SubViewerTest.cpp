#include "FormatsTestSupport.h"

#include "formats/RegisteredFormats.h"

using formatstest::cue;
using formatstest::cueSummary;
using formatstest::fileLines;
using formatstest::u8;

namespace {

template <typename Format> QStringList read(const char* text) {
    Format format;
    Subtitle subtitle;
    format.loadSubtitle(subtitle, fileLines(text), {});
    return cueSummary(subtitle);
}

} // namespace

TEST(SubViewer10, Reading) {
    struct Case {
        const char* name;
        const char* sub;
        QStringList cues;
    };
    const Case cases[] = {
        {"bars are line breaks",
         "[01:02:03]\nHello|World\n[01:02:05]",
         {u8("3723000-3725000 Hello⏎World")}},
        {"indented time lines", "  [00:00:01]  \nHi\n\t[00:00:02]", {"1000-2000 Hi"}},
        {"header skipped, second text line dropped",
         "[TITLE]\nx\n[BEGIN]\n[00:00:01]\n\nA\nB\n[00:00:02]\n",
         {"1000-2000 A"}},
        {"a time while waiting for text is ignored",
         "[00:00:01]\n[00:00:05]\nA\n[00:00:02]",
         {"1000-2000 A"}},
        {"a subtitle without end is dropped", "[00:00:01]\nA\n", {}},
        {"SubViewer 2.0 text is not its own", "00:00:01.50,00:00:03.00\nHi", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read<SubViewer10>(c.sub), c.cues) << c.name;
    }
}

TEST(SubViewer10, WritingDropsMilliseconds) {
    SubViewer10 format;
    Subtitle subtitle;
    subtitle.subtitles = {cue(1999, 3001, "A\nB⏎C")};
    EXPECT_EQ(format.toText(subtitle, u8("T")),
              u8("[TITLE]\nT\n[AUTHOR]\n[SOURCE]\n[PRG]\n[FILEPATH]\n[DELAY]\n0\n[CD TRACK]\n0\n"
                 "[BEGIN]\n******** START SCRIPT ********\n[00:00:01]\nA|B|C\n[00:00:03]\n\n"
                 "[end]\n******** END SCRIPT ********\n"));
}

TEST(SubViewer20, Reading) {
    struct Case {
        const char* name;
        const char* sub;
        QStringList cues;
    };
    const Case cases[] = {
        {"codes become markup",
         "00:00:01.500,00:00:03.000\n{\\i1}Hi{\\i0}[br]there",
         {u8("1500-3000 <i>Hi</i>⏎there")}},
        {"centiseconds are a count of milliseconds", "00:00:01.50,00:00:03.00\nx", {"1050-3000 x"}},
        {"later timing overwrites",
         "00:00:01.00,00:00:02.00\n\n00:00:05.00,00:00:06.00\nx",
         {"5000-6000 x"}},
        {"only the first text line", "00:00:01.00,00:00:02.00\na\nb\n", {"1000-2000 a"}},
        {"closing codes without digit",
         "00:00:01.00,00:00:02.00\n{\\b1}a{\\b} {\\u1}b{\\u}",
         {"1000-2000 <b>a</b> <u>b</u>"}},
        {"header and style lines skipped",
         "[INFORMATION]\n[TITLE]x\n[COLF]&H000000,[STYLE]bd\n00:00:01.00,00:00:02.00\nx",
         {"1000-2000 x"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read<SubViewer20>(c.sub), c.cues) << c.name;
    }
}

TEST(SubViewer20, WritingIsByteExact) {
    SubViewer20 format;
    Subtitle subtitle;
    subtitle.subtitles = {cue(1500, 3000, "<i>Hi</i>\nthere"), cue(36000001, 36000002, "<b>x</b>")};
    EXPECT_EQ(format.toText(subtitle, u8("SubViewer 2.0")),
              u8("[INFORMATION]\n[TITLE]SubViewer 2.0\n[AUTHOR]\n[SOURCE]\n[PRG]\n[FILEPATH]\n"
                 "[DELAY]0\n[CD TRACK]0\n[COMMENT]\n[END INFORMATION]\n[SUBTITLE]\n"
                 "[COLF]&H000000,[STYLE]bd,[SIZE]25,[FONT]Arial\n"
                 "00:00:01.500,00:00:03.000\n{\\i1}Hi{\\i0}[br]there\n\n"
                 "10:00:00.001,10:00:00.002\n{\\b1}x{\\b0}"));
}
