#include "formats/TextFileWriter.h"

#include <QSaveFile>

bool writeTextFileAtomically(const QString& path, const QString& content, QString* error) {
    QSaveFile file(path);
    const QByteArray bytes = content.toUtf8();
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error) {
        *error = QStringLiteral("Can not write %1: %2").arg(path, file.errorString());
    }
    return ok;
}
