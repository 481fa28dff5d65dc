#pragma once

#include "model/SubtitleFormat.h"
#include "model/SubtitleLine.h"

#include <QString>
#include <QStringList>

class Subtitle;

class WebVTTFormat : public SubtitleFormat {
public:
    QString name() const override { return QStringLiteral("WebVTT"); }
    QString extension() const override { return QStringLiteral("vtt"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString toText(const Subtitle& subtitle, const QString& title) const override;
    // Voice, ruby, class and span tags go; <i>, <b> and <u> stay.
    void removeNativeFormatting(Subtitle& subtitle, const SubtitleFormat* newFormat) override;
    // Removes the first opening tag written "<tag ...>" and then every "</tag>".
    static QString removeTag(const QString& tag, const QString& text);
};

// Whole seconds in bracketed lines, one text line per subtitle, "|" between its lines.
class SubViewer10 : public SubtitleFormat {
public:
    QString name() const override { return QStringLiteral("SubViewer 1.0"); }
    QString extension() const override { return QStringLiteral("sub"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString toText(const Subtitle& subtitle, const QString& title) const override;
};

// Start and end on one line, "[br]" between lines and brace codes for italic, bold, underline.
class SubViewer20 : public SubtitleFormat {
public:
    QString name() const override { return QStringLiteral("SubViewer 2.0"); }
    QString extension() const override { return QStringLiteral("sub"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString toText(const Subtitle& subtitle, const QString& title) const override;
};

class YouTubeSbv : public SubtitleFormat {
public:
    QString name() const override { return QStringLiteral("YouTube sbv"); }
    QString extension() const override { return QStringLiteral("sbv"); }
    void loadSubtitle(Subtitle& subtitle, const QStringList& lines,
                      const QString& fileUrl) override;
    QString toText(const Subtitle& subtitle, const QString& title) const override;

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
