#pragma once

#include <QString>

// Writes `content` as UTF-8 without byte-order mark, atomically: a temporary file beside the
// target is renamed over it, so a failed write never leaves a truncated file. On failure returns
// false and, when `error` is given, says why.
bool writeTextFileAtomically(const QString& path, const QString& content, QString* error);
