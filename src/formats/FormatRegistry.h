#pragma once

#include "formats/RegisteredFormats.h"
#include "model/Subtitle.h"
#include "model/SubtitleFormat.h"

#include <QString>

#include <vector>

// The formats read and written through the generic import and export, in menu and detection
// order: WebVTT, SubViewer 1.0, SubViewer 2.0, YouTube sbv. Created once; the format objects are
// shared, so each load resets their state.
namespace FormatRegistry {

// Also installs the file loader of Subtitle.
const std::vector<SubtitleFormatPtr>& allSubtitleFormats();

// Fills `subtitle` from the file: read as text, split at every "\n" and "\r", offered to each
// format in turn; the first that claims the lines reads them. Returns that format or nullptr.
SubtitleFormatPtr loadSubtitleFile(Subtitle& subtitle, const QString& path, bool batchMode);
// The same on lines already read.
SubtitleFormatPtr loadSubtitleLines(Subtitle& subtitle, const QStringList& lines,
                                    const QString& path, bool batchMode);

struct OpenedFile {
    SubtitleFormatPtr format; // nullptr when no format claims the file
    QString editorText;       // empty then
};
// A subtitle file rendered as editor text.
OpenedFile openSubtitleFile(const QString& path);

// The generic export of the editor's lines by `format`, with its name as title (GenericExport).
QString exportText(const CueSubtitleFormat& format, const SubtitleLineList& editorLines);
// The registered format of that name (as `name()` gives it), or nullptr.
std::shared_ptr<CueSubtitleFormat> formatNamed(const QString& name);

} // namespace FormatRegistry
