#include "FormatsTestSupport.h"

#include "formats/RegisteredFormats.h"

using formatstest::cueSummary;
using formatstest::fileLines;
using formatstest::u8;

TEST(YouTubeSbv, Reading) {
    struct Case {
        const char* name;
        const char* sbv;
        QStringList cues;
        int errors;
    };
    const Case cases[] = {
        {"two subtitles",
         "0:00:01.000,0:00:03.500\nHello\nWorld\n\n0:00:04.000,0:00:05.000\nBye",
         {u8("1000-3500 Hello⏎World"), "4000-5000 Bye"},
         0},
        {"an empty line followed by text stays inside",
         "0:00:01.000,0:00:02.000\nHello\n\nWorld\n\n",
         {u8("1000-2000 Hello⏎World")},
         0},
        {"periods as separators", "0.00.01.000,0.00.03.000\nx", {"1000-3000 x"}, 0},
        {"Arabic comma", "0:00:01.000\u060C0:00:03.000\nx", {"1000-3000 x"}, 0},
        {"next timing line without a blank line",
         "0:00:01.000,0:00:02.000\nA\n0:00:03.000,0:00:04.000\nB",
         {"1000-2000 A", "3000-4000 B"},
         0},
        {"stray lines count as errors",
         "junk\n0:00:01.000,0:00:02.000\nx\n\n\n12\n",
         {"1000-2000 x"},
         2},
    };
    for (const Case& c : cases) {
        YouTubeSbv format;
        Subtitle subtitle;
        format.loadSubtitle(subtitle, fileLines(c.sbv), {});
        EXPECT_EQ(cueSummary(subtitle), c.cues) << c.name;
        EXPECT_EQ(format.errorCount(), c.errors) << c.name;
    }
}

TEST(YouTubeSbv, StateIsResetBetweenLoads) {
    YouTubeSbv format;
    Subtitle first;
    format.loadSubtitle(first, fileLines("0:00:01.000,0:00:02.000\nopen"), {});
    Subtitle second;
    format.loadSubtitle(second, fileLines("text only"), {});
    EXPECT_TRUE(second.subtitles.empty());
    EXPECT_EQ(format.errorCount(), 1);
}

TEST(YouTubeSbv, WritingIsByteExact) {
    YouTubeSbv format;
    Subtitle subtitle;
    for (const auto& [start, end, text] :
         {std::tuple{3723004.0, 3725000.0, u8("A⏎B")}, std::tuple{1000.0, 2000.0, u8("C\nD")}}) {
        auto line = SubtitleLine::create();
        line->setStartTimeCode(TimeCode::withTotalMilliseconds(start));
        line->setEndTimeCode(TimeCode::withTotalMilliseconds(end));
        line->setText(text);
        subtitle.subtitles.push_back(line);
    }
    EXPECT_EQ(format.toText(subtitle, {}),
              u8("1:02:03.004,1:02:05.000\r\nA\r\nB\r\n\r\n0:00:01.000,0:00:02.000\r\nC\nD"));
}
