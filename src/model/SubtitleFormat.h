#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class Subtitle;
class SubtitleLine;

// A subtitle file format that is both read and written through the generic import/export path.
// The registry of formats lives with the formats themselves.
class SubtitleFormat {
public:
    virtual ~SubtitleFormat() = default;

    virtual QString name() const = 0;
    virtual QString extension() const = 0;
    virtual bool isTimeBased() const { return true; }
    virtual bool isFrameBased() const { return false; }

    // Loads the lines into a scratch document and claims the file when fewer lines failed than
    // subtitles were read.
    virtual bool isMine(const QStringList& lines, const QString& fileUrl);
    virtual QString toText(const Subtitle& subtitle, const QString& title) const;
    virtual void loadSubtitle(Subtitle& subtitle, const QStringList& lines, const QString& fileUrl);
    // The text with every run of blank lines collapsed.
    virtual QString formatText(const SubtitleLine& line) const;
    virtual void removeNativeFormatting(Subtitle& subtitle, const SubtitleFormat* newFormat);

    int errorCount() const { return errorCount_; }
    void setErrorCount(int count) { errorCount_ = count; }
    bool batchMode() const { return batchMode_; }
    void setBatchMode(bool on) { batchMode_ = on; }

    static QString removeTag(const QString& tag, const QString& text);
    // NUL characters become spaces.
    static QString removeBadChars(const QString& text);
    // Every run of blank lines collapsed to one line feed (the rule of formatText).
    static QString collapseBlankLines(const QString& text);

protected:
    int errorCount_ = 0;
    bool batchMode_ = false;
};

using SubtitleFormatPtr = std::shared_ptr<SubtitleFormat>;
