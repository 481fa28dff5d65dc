#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// One piece of work on disk (".mqp"): the editor text, the movie path and the exchange
// documents, as an XML property list (Apple's plist format, version 1.0) of strings and
// booleans. Reading is tolerant key by key; a missing or mistyped key keeps its default.
class MQProjectFile {
public:
    static inline const QString kExtension = QStringLiteral("mqp");

    MQProjectFile() = default;

    // The project at the path; every field at its default when it cannot be read.
    static MQProjectFile initWithFilePath(const QString& path);
    // The same, but nothing (and the reason) when the file is not a readable property list.
    static std::optional<MQProjectFile> read(const QString& path, QString* errorMessage = nullptr);

    void updateWithDictionary(const QVariantMap& dictionary);
    QVariantMap toDictionary() const;

    // Written to a temporary file that then replaces the target, so a failed write never
    // damages an earlier save. False, with the reason, when the file could not be written.
    bool writeToUrl(const QString& path, QString* errorMessage = nullptr) const;

    QString fcp7XMLString;
    QString fcpxXMLString;
    QString moviePath;
    QString subtitleText;
    bool needComposition = false;
    bool onlyAssembleAudio = false;
    QString fcp7MovieMainTrackXMLString;
    QString fcp7MovieSecondTrackXMLString;
};

// The tolerant dictionary readings the project file (and other stored dictionaries) use.
namespace DictionaryAccess {
// The value when it is a string, else the default.
QString getStringValueForKey(const QVariantMap& dictionary, const QString& key,
                             const QString& defaultValue);
// A boolean as it is; a number is true when not zero; a string is true when it begins with
// Y, y, T, t or a digit 1-9. Anything else (or nothing) gives the default.
bool getBoolValueForKey(const QVariantMap& dictionary, const QString& key, bool defaultValue);
} // namespace DictionaryAccess

// XML property lists: strings, integers, reals, booleans, dates, data, arrays, dictionaries.
namespace PropertyList {
std::optional<QVariantMap> readDictionary(const QByteArray& xml);
QByteArray writeDictionary(const QVariantMap& dictionary);
} // namespace PropertyList
