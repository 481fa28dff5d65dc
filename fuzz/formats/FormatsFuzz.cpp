// One source for the subtitle-file fuzz targets; the build picks the target with FUZZ_<NAME>.
#include "formats/FormatRegistry.h"
#include "formats/SRTFile.h"
#include "formats/ScriptReaders.h"
#include "formats/TextFileReader.h"
#include "model/Regex.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
#if defined(FUZZ_SRT_IMPORT)
    const QString text = QString::fromUtf8(bytes);
    SRTFile::convertToText(text, 25.0f);
    // Timing lines are mostly decided without the pattern; the pattern itself is the oracle.
    static const Regex timing(QStringLiteral("(..):(..):(..),(...)-->(..):(..):(..),(...)"));
    for (QString line : text.split(u'\n')) {
        line.remove(u' ');
        if (SRTFile::isTimecodeString(line) != (timing.countMatches(line) == 1)) {
            std::abort();
        }
    }
#elif defined(FUZZ_REGISTRY_DETECTION)
    QString text = QString::fromUtf8(bytes);
    text.remove(u'\r');
    const QStringList lines = text.split(u'\n');
    for (const SubtitleFormatPtr& format : FormatRegistry::allSubtitleFormats()) {
        Subtitle subtitle;
        format->loadSubtitle(subtitle, lines, QString());
        format->removeNativeFormatting(subtitle, nullptr);
        subtitle.getTextViewDisplayString();
        format->toText(subtitle, format->name());
    }
    Subtitle detected;
    FormatRegistry::loadSubtitleLines(detected, lines, QString(), false);
#elif defined(FUZZ_SCRIPT_READERS)
    ScriptReaders::rtfPlainText(bytes);
    ScriptReaders::docPlainText(bytes);
    ScriptReaders::docxPlainText(bytes);
#elif defined(FUZZ_TEXT_DECODING)
    TextFileReader::decodeText(bytes);
#endif
    return 0;
}
