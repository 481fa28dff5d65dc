#include "nle/XMLElementUtility.h"

#include "model/MQStringUtility.h"

#include <sstream>

namespace XMLElementUtility {

namespace {
// Declaration, doctype and comments are kept so that a document written back stays what the
// editing system gave us.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_doctype | pugi::parse_comments | pugi::parse_pi;
} // namespace

Document parseDocument(const QString& text) {
    auto document = std::make_shared<pugi::xml_document>();
    const QByteArray utf8 = text.toUtf8();
    const pugi::xml_parse_result result = document->load_buffer(
        utf8.constData(), size_t(utf8.size()), kParseOptions, pugi::encoding_utf8);
    if (!result || !document->document_element()) {
        return nullptr;
    }
    return document;
}

pugi::xpath_node_set nodes(const pugi::xml_node& context, const char* path) {
    if (!context) {
        return {};
    }
    try {
        return context.select_nodes(path);
    } catch (const pugi::xpath_exception&) {
        return {};
    }
}

pugi::xml_node firstNode(const pugi::xml_node& context, const char* path) {
    const pugi::xpath_node_set found = nodes(context, path);
    return found.empty() ? pugi::xml_node() : found.first().node();
}

QString text(const pugi::xml_node& node) {
    return QString::fromUtf8(node.text().get());
}

QString childText(const pugi::xml_node& context, const char* path) {
    return text(firstNode(context, path));
}

int32_t childInt(const pugi::xml_node& context, const char* path) {
    return MQStringUtility::intValue(childText(context, path));
}

double childDouble(const pugi::xml_node& context, const char* path) {
    bool ok = false;
    const double value = childText(context, path).trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

bool setChildText(const pugi::xml_node& context, const char* path, const QString& value) {
    pugi::xml_node node = firstNode(context, path);
    return node && node.text().set(value.toUtf8().constData());
}

Document copyElement(const pugi::xml_node& element) {
    if (!element) {
        return nullptr;
    }
    auto document = std::make_shared<pugi::xml_document>();
    document->append_copy(element);
    return document;
}

QString serialize(const pugi::xml_node& node, bool raw) {
    std::ostringstream out;
    node.print(out, "\t", raw ? pugi::format_raw : pugi::format_default, pugi::encoding_utf8);
    // pugixml writes a carriage return in text as it is, and any reader turns that into a line
    // feed; the character reference keeps it.
    return QString::fromStdString(out.str()).replace(u'\r', QStringLiteral("&#13;"));
}

} // namespace XMLElementUtility
