#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Argument and file handling shared by the editor-text subcommands (check, shift, tool).
namespace EditorCli {

// Positional arguments and "--name value" options; "--flag" options listed in `flags` take no
// value. Unknown options or missing values are reported in `error`.
struct Arguments {
    QStringList positional;
    QMap<QString, QString> options;
    QString error;
};
Arguments parse(const QStringList& args, const QStringList& valueOptions, const QStringList& flags);

// Applies --fps (default 30); false with `error` set when the rate is not a positive number.
bool applyFrameRate(const Arguments& arguments, QString& error);

// Reads a UTF-8 editor text, normalised; nothing with `error` set when it cannot be read.
std::optional<QString> readText(const QString& path, QString& error);

// Writes atomically; false with `error` set on failure.
bool writeText(const QString& path, const QString& text, QString& error);
// Writes several files, each atomically; every file is prepared before any is put in place, so
// a target that cannot be written leaves all of them untouched.
struct OutputFile {
    QString path;
    QString text;
};
bool writeTexts(const std::vector<OutputFile>& files, QString& error);

} // namespace EditorCli
