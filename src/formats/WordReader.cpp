#include "formats/ScriptReaders.h"

#include "model/Regex.h"

#include <QFile>

namespace ScriptReaders {

QString docPlainText(const QByteArray&) {
    return QString();
}

QString docxPlainText(const QByteArray&) {
    return QString();
}

QString readScriptFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QByteArray bytes = file.readAll();
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".rtf"))) {
        return rtfPlainText(bytes);
    }
    QString text =
        lower.endsWith(QLatin1String(".docx")) ? docxPlainText(bytes) : docPlainText(bytes);
    if (text.isNull()) {
        return text;
    }
    static const Regex hyperlinkFieldCode(QStringLiteral("HYPERLINK \"[^\"]*\""));
    return hyperlinkFieldCode.replaceAll(text, QString());
}

} // namespace ScriptReaders
