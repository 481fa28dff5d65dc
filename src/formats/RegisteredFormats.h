#pragma once

#include "model/SubtitleFormat.h"
#include "model/SubtitleLine.h"

#include <QString>
#include <QStringList>

class Subtitle;

// A registered format written cue by cue: a head, one piece per subtitle and an ending. This lets
// the generic export hand over each line's text with its line breaks restored without copying the
// lines, and write documents that are never held whole.
class CueSubtitleFormat : public SubtitleFormat {
public:
    QString toText(const Subtitle& subtitle, const QString& title) const final;

    virtual QString head(const QString& title) const = 0;
    // `text` stands for the line's own text.
    virtual void appendCue(QString& out, const SubtitleLine& line, const QString& text) const = 0;
    virtual void finish(QString& out) const = 0;
};

// The generic export, one editor line at a time: lines without both times are left out, since a
// cue needs a start and an end, and "⏎" becomes "\n" in the texts.
class GenericExport {
public:
    explicit GenericExport(const CueSubtitleFormat& format);
    void add(const SubtitleLine& line);
    QString finish();

private:
    const CueSubtitleFormat& format_;
    QString out_;
};

class WebVTTFormat : public CueSubtitleFormat {
public:
    QString name() const override { return QStringLiteral("WebVTT"); }
    QString extension() const override { return QStringLiteral("vtt"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString head(const QString& title) const override;
    void appendCue(QString& out, const SubtitleLine& line, const QString& text) const override;
    void finish(QString& out) const override;
    // Voice, ruby, class and span tags go; <i>, <b> and <u> stay.
    void removeNativeFormatting(Subtitle& subtitle, const SubtitleFormat* newFormat) override;
    // Removes the first opening tag written "<tag ...>" and then every "</tag>".
    static QString removeTag(const QString& tag, const QString& text);
};

// Whole seconds in bracketed lines, one text line per subtitle, "|" between its lines.
class SubViewer10 : public CueSubtitleFormat {
public:
    QString name() const override { return QStringLiteral("SubViewer 1.0"); }
    QString extension() const override { return QStringLiteral("sub"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString head(const QString& title) const override;
    void appendCue(QString& out, const SubtitleLine& line, const QString& text) const override;
    void finish(QString& out) const override;
};

// Start and end on one line, "[br]" between lines and brace codes for italic, bold, underline.
class SubViewer20 : public CueSubtitleFormat {
public:
    QString name() const override { return QStringLiteral("SubViewer 2.0"); }
    QString extension() const override { return QStringLiteral("sub"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString head(const QString& title) const override;
    void appendCue(QString& out, const SubtitleLine& line, const QString& text) const override;
    void finish(QString& out) const override;
};

class YouTubeSbv : public CueSubtitleFormat {
public:
    QString name() const override { return QStringLiteral("YouTube sbv"); }
    QString extension() const override { return QStringLiteral("sbv"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString head(const QString& title) const override;
    void appendCue(QString& out, const SubtitleLine& line, const QString& text) const override;
    void finish(QString& out) const override;

    static QString formatTime(const TimeCode& time);
    void readLine(Subtitle& subtitle, const QString& line, const QString& nextLine);
    static bool isText(const QString& text);
    static bool tryReadTimeCodesLine(const QString& line, SubtitleLine& subtitleLine);

private:
    enum class Expecting { TimeCodes, Text };
    // Reader state of one load; reset at the start of every load.
    SubtitleLinePtr l_;
    Expecting expecting_ = Expecting::TimeCodes;
};
