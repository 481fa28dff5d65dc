#include "app/MQProjectFile.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <pugixml.hpp>

#include <sstream>

namespace {

const QString kXml = QStringLiteral("xml");
const QString kFcpxXml = QStringLiteral("fcpxxml");
const QString kMovie = QStringLiteral("movie");
const QString kText = QStringLiteral("text");
const QString kNeedComposition = QStringLiteral("needComposition");
const QString kOnlyAssembleAudio = QStringLiteral("onlyAssembleAudio");
const QString kMainTrack = QStringLiteral("fcp7MovieMainTrackXMLString");
const QString kSecondTrack = QStringLiteral("fcp7MovieSecondTrackXMLString");

QString textOf(const pugi::xml_node& node) {
    return QString::fromUtf8(node.child_value());
}

QString elementText(const pugi::xml_node& node) {
    QString text;
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += QString::fromUtf8(child.value());
        }
    }
    return text;
}

pugi::xml_node nextElement(pugi::xml_node node) {
    while (node && node.type() != pugi::node_element) {
        node = node.next_sibling();
    }
    return node;
}

// Arrays and dictionaries nested deeper than this are read as nothing, like unknown elements: the
// reading recurses, and a crafted file must not exhaust the stack.
constexpr int kMaxNesting = 256;

QVariant readValue(const pugi::xml_node& node, int depth);

QVariantMap readDict(const pugi::xml_node& dict, int depth) {
    QVariantMap map;
    for (pugi::xml_node key = nextElement(dict.first_child()); key;
         key = nextElement(key.next_sibling())) {
        if (QLatin1String(key.name()) != QLatin1String("key")) {
            continue;
        }
        const pugi::xml_node value = nextElement(key.next_sibling());
        if (!value) {
            break;
        }
        map.insert(elementText(key), readValue(value, depth + 1));
        key = value;
    }
    return map;
}

QVariant readValue(const pugi::xml_node& node, int depth) {
    const QLatin1String name(node.name());
    if (name == QLatin1String("string")) {
        return elementText(node);
    }
    if (name == QLatin1String("true")) {
        return true;
    }
    if (name == QLatin1String("false")) {
        return false;
    }
    if (name == QLatin1String("integer")) {
        return textOf(node).trimmed().toLongLong();
    }
    if (name == QLatin1String("real")) {
        return textOf(node).trimmed().toDouble();
    }
    if (name == QLatin1String("date")) {
        return QDateTime::fromString(textOf(node).trimmed(), Qt::ISODate);
    }
    if (name == QLatin1String("data")) {
        return QByteArray::fromBase64(textOf(node).toLatin1(),
                                      QByteArray::IgnoreBase64DecodingErrors);
    }
    if (depth >= kMaxNesting) {
        return {};
    }
    if (name == QLatin1String("array")) {
        QVariantList list;
        for (pugi::xml_node child = nextElement(node.first_child()); child;
             child = nextElement(child.next_sibling())) {
            list.push_back(readValue(child, depth + 1));
        }
        return list;
    }
    if (name == QLatin1String("dict")) {
        return readDict(node, depth);
    }
    return {};
}

void writeValue(pugi::xml_node parent, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        parent.append_child(value.toBool() ? "true" : "false");
        return;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        parent.append_child("integer").text().set(value.toString().toUtf8().constData());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        parent.append_child("real").text().set(value.toDouble());
        return;
    case QMetaType::QVariantMap: {
        pugi::xml_node dict = parent.append_child("dict");
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            dict.append_child("key").text().set(it.key().toUtf8().constData());
            writeValue(dict, it.value());
        }
        return;
    }
    case QMetaType::QVariantList: {
        pugi::xml_node array = parent.append_child("array");
        for (const QVariant& item : value.toList()) {
            writeValue(array, item);
        }
        return;
    }
    default:
        parent.append_child("string").text().set(value.toString().toUtf8().constData());
        return;
    }
}

} // namespace

namespace PropertyList {

std::optional<QVariantMap> readDictionary(const QByteArray& xml) {
    pugi::xml_document document;
    // White-space-only strings (an editor text of blank lines) are values too.
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata;
    if (!document.load_buffer(xml.constData(), size_t(xml.size()), options)) {
        return std::nullopt;
    }
    pugi::xml_node root = document.document_element();
    if (QLatin1String(root.name()) == QLatin1String("plist")) {
        root = nextElement(root.first_child());
    }
    if (!root || QLatin1String(root.name()) != QLatin1String("dict")) {
        return std::nullopt;
    }
    return readDict(root, 0);
}

QByteArray writeDictionary(const QVariantMap& dictionary) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    document.append_child(pugi::node_doctype)
        .set_value("plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                   "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\"");
    pugi::xml_node plist = document.append_child("plist");
    plist.append_attribute("version") = "1.0";
    writeValue(plist, dictionary);
    std::ostringstream out;
    document.save(out, "\t", pugi::format_default | pugi::format_no_empty_element_tags,
                  pugi::encoding_utf8);
    QByteArray bytes = QByteArray::fromStdString(out.str());
    // A raw carriage return would come back as a line feed.
    bytes.replace('\r', "&#13;");
    // Apple writes booleans as empty elements.
    bytes.replace("<true></true>", "<true/>").replace("<false></false>", "<false/>");
    return bytes;
}

} // namespace PropertyList

namespace DictionaryAccess {

QString getStringValueForKey(const QVariantMap& dictionary, const QString& key,
                             const QString& defaultValue) {
    const QVariant value = dictionary.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : defaultValue;
}

bool getBoolValueForKey(const QVariantMap& dictionary, const QString& key, bool defaultValue) {
    const QVariant value = dictionary.value(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble() != 0.0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            return false;
        }
        const QChar c = text.front();
        return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
    }
    default:
        return defaultValue;
    }
}

} // namespace DictionaryAccess

MQProjectFile MQProjectFile::initWithFilePath(const QString& path) {
    return read(path).value_or(MQProjectFile());
}

std::optional<MQProjectFile> MQProjectFile::read(const QString& path, QString* errorMessage) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage) {
            *errorMessage = file.errorString();
        }
        return std::nullopt;
    }
    const std::optional<QVariantMap> dictionary = PropertyList::readDictionary(file.readAll());
    if (!dictionary) {
        if (errorMessage) {
            *errorMessage = QStringLiteral("not a property list");
        }
        return std::nullopt;
    }
    MQProjectFile project;
    project.updateWithDictionary(*dictionary);
    return project;
}

void MQProjectFile::updateWithDictionary(const QVariantMap& dictionary) {
    using namespace DictionaryAccess;
    fcp7XMLString = getStringValueForKey(dictionary, kXml, {});
    fcpxXMLString = getStringValueForKey(dictionary, kFcpxXml, {});
    moviePath = getStringValueForKey(dictionary, kMovie, {});
    subtitleText = getStringValueForKey(dictionary, kText, {});
    needComposition = getBoolValueForKey(dictionary, kNeedComposition, false);
    onlyAssembleAudio = getBoolValueForKey(dictionary, kOnlyAssembleAudio, false);
    fcp7MovieMainTrackXMLString = getStringValueForKey(dictionary, kMainTrack, {});
    fcp7MovieSecondTrackXMLString = getStringValueForKey(dictionary, kSecondTrack, {});
}

QVariantMap MQProjectFile::toDictionary() const {
    return {
        {kXml, fcp7XMLString},
        {kFcpxXml, fcpxXMLString},
        {kMovie, moviePath},
        {kText, subtitleText},
        {kNeedComposition, needComposition},
        {kOnlyAssembleAudio, onlyAssembleAudio},
        {kMainTrack, fcp7MovieMainTrackXMLString},
        {kSecondTrack, fcp7MovieSecondTrackXMLString},
    };
}

bool MQProjectFile::writeToUrl(const QString& path, QString* errorMessage) const {
    QSaveFile file(path);
    const QByteArray bytes = PropertyList::writeDictionary(toDictionary());
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && errorMessage) {
        *errorMessage = file.errorString();
    }
    return written;
}
