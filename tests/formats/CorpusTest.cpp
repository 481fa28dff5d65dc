// Real files written by other programs: read without a crash, and read the way the rules say
// where that differs from their writer's intent.
#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "formats/FormatRegistry.h"
#include "formats/SRTFile.h"
#include "formats/ScriptReaders.h"
#include "formats/TextFileReader.h"

#include <QDirIterator>

using formatstest::u8;

namespace {

QString detected(const char* relative, Subtitle* out = nullptr) {
    Subtitle subtitle;
    const SubtitleFormatPtr format =
        FormatRegistry::loadSubtitleFile(subtitle, testsupport::corpusPath(u8(relative)), false);
    if (out) {
        *out = std::move(subtitle);
    }
    return format ? format->name() : QStringLiteral("none");
}

QString srtEditorText(const char* relative) {
    const SRTFile file(testsupport::corpusPath(u8(relative)));
    return SRTFile::convertToText(file.text, 25);
}

} // namespace

TEST(Corpus, EveryFileReadsWithoutCrash) {
    MQ_SKIP_WITHOUT_SHARED();
    testsupport::ScopedFrameRate rate(25);
    QDirIterator it(testsupport::corpusPath(QString()), QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        Subtitle subtitle;
        FormatRegistry::loadSubtitleFile(subtitle, path, false);
        subtitle.getTextViewDisplayString();
        const SRTFile srt(path);
        SRTFile::convertToText(srt.text, 25);
        ScriptReaders::readScriptFile(path);
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(Corpus, SrtFiles) {
    MQ_SKIP_WITHOUT_SHARED();
    testsupport::ScopedFrameRate rate(25);
    EXPECT_TRUE(srtEditorText("srt/aspasia-gbk.srt").contains(u8("这是中文")));
    EXPECT_TRUE(srtEditorText("srt/pysrt-capability_tester.srt").contains(u8("<b>")));
    EXPECT_EQ(srtEditorText("srt/pysrt-bom-utf-16-le.srt"),
              srtEditorText("srt/pysrt-bom-utf-8.srt"));
    // Files the rules do not read as their writers meant: no cue numbers, one-digit hours,
    // timings without milliseconds or with periods all fail to convert.
    for (const char* name :
         {"srt/pysrt-no-indexes.srt", "srt/astisub-missing-sequence-2digit-ms.srt",
          "srt/subtitlesparser-ccsubs-1digit-hour-no-ms.srt", "srt/pysrt-invalid.srt"}) {
        EXPECT_EQ(srtEditorText(name), QString()) << name;
    }
    // CR-only line ends become line feeds in the SRT import, but this file's timings use a
    // period before the milliseconds, which is no SRT timing line: nothing converts.
    EXPECT_EQ(srtEditorText("srt/astisub-cr-only-bom.srt"), QString());
    const QString crlf = srtEditorText("srt/pysrt-windows-1252.srt");
    EXPECT_FALSE(crlf.isEmpty());
    EXPECT_FALSE(crlf.contains(u'\r'));
}

TEST(Corpus, RegistryFiles) {
    MQ_SKIP_WITHOUT_SHARED();
    Subtitle subtitle;
    EXPECT_EQ(detected("vtt/gaupol-webvtt-title-style-note-ids.vtt", &subtitle), u8("WebVTT"));
    EXPECT_FALSE(subtitle.subtitles.empty());
    EXPECT_EQ(detected("vtt/subtitlesparser-notes-crlf-bom.vtt"), u8("WebVTT"));
    EXPECT_EQ(detected("vtt/astisub-utf16le.vtt"), u8("WebVTT"));
    EXPECT_EQ(detected("subviewer/jubler-subviewer2.sub"), u8("SubViewer 2.0"));
    EXPECT_EQ(detected("subviewer/gaupol-subviewer2-sample-2007-italics.sub"), u8("SubViewer 2.0"));
    EXPECT_EQ(detected("sbv/subtitlesparserv2-subviewer2-br-as-sbv.sbv"), u8("YouTube sbv"));
    // CR-only files reach the formats as a single line: nobody claims them.
    EXPECT_EQ(detected("vtt/astisub-cr-only-bom.vtt"), u8("none"));
    // MicroDVD frame-numbered .sub is no SubViewer file.
    EXPECT_EQ(detected("other_sub/gaupol-microdvd-negative-frames.sub"), u8("none"));
    // Negative SubViewer 2.0 times do not fit its timing pattern; those cues are skipped.
    detected("subviewer/gaupol-subviewer2-negative-times.sub", &subtitle);
    for (const auto& line : subtitle.subtitles) {
        EXPECT_GE(line->startTimeCode().totalMilliseconds(), 0);
    }
    // A 24-hour or longer WebVTT time keeps its hours.
    EXPECT_EQ(detected("vtt/subtitlesparser-greater-than-24h-bom.vtt", &subtitle), u8("WebVTT"));
    ASSERT_FALSE(subtitle.subtitles.empty());
    EXPECT_EQ(subtitle.subtitles.back()->startTimeCode().hours(), 24);
    EXPECT_EQ(subtitle.subtitles.back()->endTimeCode().hours(), 55);
}
