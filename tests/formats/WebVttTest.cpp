#include "FormatsTestSupport.h"

#include "formats/RegisteredFormats.h"

using formatstest::cue;
using formatstest::cueSummary;
using formatstest::fileLines;
using formatstest::u8;

namespace {

QStringList readVtt(const char* text) {
    WebVTTFormat format;
    Subtitle subtitle;
    format.loadSubtitle(subtitle, fileLines(text), {});
    format.removeNativeFormatting(subtitle, nullptr);
    return cueSummary(subtitle);
}

} // namespace

TEST(WebVtt, Reading) {
    struct Case {
        const char* name;
        const char* vtt;
        QStringList cues;
    };
    const Case cases[] = {
        {"hour-less times", "WEBVTT\n\n00:01.000 --> 00:02.500\nHi\n", {"1000-2500 Hi"}},
        {"hour-less start, end with hours", "00:01.000 --> 01:00:02.500\nHi", {"1000-3602500 Hi"}},
        {"no space after the arrow", "00:01.000 -->00:02.500\nHi", {}},
        {"hours on the start only", "00:00:01.000 --> 00:02.500\nHi", {}},
        {"indented timing line", " 00:00:01.000 --> 00:00:02.000\nHi", {}},
        {"identifier and settings dropped",
         "WEBVTT\n\n1\n00:00:01.000 --> 00:00:02.000 align:start\nHello\n\n",
         {"1000-2000 Hello"}},
        {"closed by the next timing line",
         "00:00:01.000 --> 00:00:02.000\nA\n00:00:03.000 --> 00:00:04.000\nB",
         {"1000-2000 A", "3000-4000 B"}},
        {"the first empty line ends the text",
         "00:00:01.000 --> 00:00:02.000\nA\nB\n\nafter\nNOTE x\n",
         {"1000-2000 A\nB"}},
        {"a white-space line does not end it",
         "00:00:01.000 --> 00:00:02.000\nA\n  \nB",
         {"1000-2000 A\nB"}},
        {"milliseconds as a count", "00:00:01.5 --> 00:00:02.50\nx", {"1005-2050 x"}},
        {"voice, class and span tags removed",
         "00:00:01.000 --> 00:00:02.000\n<v Bob>Hi</v> <c.yellow>y</c> <i>i</i>",
         {"1000-2000 Hi <c.yellow>y</c> <i>i</i>"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readVtt(c.vtt), c.cues) << c.name;
    }
}

TEST(WebVtt, RemoveTagTakesTheFirstSpacedOpeningTag) {
    EXPECT_EQ(WebVTTFormat::removeTag(u8("v"), u8("<v A>x</v><v B>y</v>")), u8("x<v B>y"));
    EXPECT_EQ(WebVTTFormat::removeTag(u8("c"), u8("<c.x>y</c>")), u8("<c.x>y</c>"));
    EXPECT_EQ(WebVTTFormat::removeTag(u8("v"), u8("<v Bob unclosed")), u8("<v Bob unclosed"));
}

TEST(WebVtt, WritingIsByteExact) {
    WebVTTFormat format;
    Subtitle subtitle;
    EXPECT_EQ(format.toText(subtitle, {}), u8("WEBVTT"));
    subtitle.subtitles = {cue(1000, 2000, "A\n\n\nB"), cue(3599500, 3600500, "C")};
    EXPECT_EQ(format.toText(subtitle, {}),
              u8("WEBVTT\n\n00:01.000 --> 00:02.000\nA\nB\n\n00:59:59.500 --> 01:00:00.500\nC"));
}
