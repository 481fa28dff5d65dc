#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Timed copies of the project in the autosave folder, and the offer to take one up again when
// the previous session ended without a clean quit.
namespace ProjectAutoSave {

inline const QString kPrefix = QStringLiteral("AutoSave_");
inline constexpr int kKept = 24; // plus the one being written

bool isAutoSaveName(const QString& path);
// "AutoSave_20240102030405.mqp"
QString fileNameForTime(const QDateTime& time);
// Names beginning with the prefix, in plain string order (oldest first).
QStringList autoSaveNames(const QString& folder);
// Deletes all but the `keep` newest autosave files.
void prune(const QString& folder, int keep = kKept);

// Session bookkeeping in the defaults store.
void markSessionStarted(const QDateTime& now);
void markSessionEnded();
void recordProjectSaved(const QDateTime& now);

// The newest autosave written after both the start of the previous session and its last save,
// when that session did not end cleanly; "" otherwise. Call before markSessionStarted.
QString recoverableAutoSave(const QString& folder);

} // namespace ProjectAutoSave
