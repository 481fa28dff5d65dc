#pragma once

#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <memory>

// The element helpers every exchange-file reader and writer shares. Paths are XPath 1.0
// expressions relative to the node given ("sequence/rate/timebase").
namespace XMLElementUtility {

using Document = std::shared_ptr<pugi::xml_document>;

// Nothing when the text is not well-formed XML or has no root element.
Document parseDocument(const QString& text);

// The first node the path selects, or a null node (also for a malformed path).
pugi::xml_node firstNode(const pugi::xml_node& context, const char* path);
pugi::xpath_node_set nodes(const pugi::xml_node& context, const char* path);

QString text(const pugi::xml_node& node);
// The text of the first node at the path; "" when there is none.
QString childText(const pugi::xml_node& context, const char* path);
// The same read with the leading-integer rule (non-numeric text gives 0).
int32_t childInt(const pugi::xml_node& context, const char* path);
double childDouble(const pugi::xml_node& context, const char* path);
// Sets the text of the first node at the path, creating nothing when it is absent.
bool setChildText(const pugi::xml_node& context, const char* path, const QString& value);

// A deep copy of the element as the root of a document of its own.
Document copyElement(const pugi::xml_node& element);

// XML text of a node or document; pretty-printed with tabs unless `raw`.
QString serialize(const pugi::xml_node& node, bool raw = false);

} // namespace XMLElementUtility
