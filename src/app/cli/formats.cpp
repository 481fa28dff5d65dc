// marquee formats: the subtitle readers and writers.
#include "app/cli/CommandRegistry.h"

#include "formats/FormatRegistry.h"

#include <cstdio>

namespace {

int runFormats(const QStringList& args) {
    if (!args.isEmpty()) {
        return cliFail(QStringLiteral("formats"), QStringLiteral("takes no arguments"));
    }
    QString out = QStringLiteral("Read and written (detected in this order):\n");
    for (const SubtitleFormatPtr& format : FormatRegistry::allSubtitleFormats()) {
        out += QStringLiteral("  %1 (*.%2)\n").arg(format->name(), format->extension());
    }
    out += QStringLiteral(
        "Read and written by their own commands:\n"
        "  SRT (*.srt)                 --to srt\n"
        "  Marquee project (*.mqp)     --to mqp (its editor text; --movie PATH sets its movie)\n"
        "Written only:\n"
        "  STL (*.stl)                 --to stl\n"
        "  Adobe Encore (*.txt)        --to encore\n"
        "  Avid (*.txt)                --to avid\n"
        "  Plain text (*.txt)          --to txt\n"
        "Read only:\n"
        "  Editor text (*.txt), RTF (*.rtf), Word (*.doc, *.docx)\n"
        "Targets of convert --to: srt, vtt, webvtt, sub, subviewer1, subviewer2, sbv, stl, "
        "encore, avid, txt, text, mqp (*.sub means SubViewer 2.0)\n");
    std::fputs(qUtf8Printable(out), stdout);
    return kExitOk;
}

const CliCommand kFormats{{
    QStringLiteral("formats"),
    QStringLiteral("formats"),
    QStringLiteral("list the subtitle readers and writers"),
    runFormats,
}};

} // namespace
