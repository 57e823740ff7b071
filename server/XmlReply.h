#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace quorvane {

// Loading and reading the server's XML replies.

// Replaces the document's content with the reply body, decoded from code page 936 whatever its
// XML declaration names. No DTD is read. An empty body (or one without an element) leaves an
// empty document; text that is not well-formed XML (content after the root element, a second
// root, a "&" that starts no reference, an entity other than the five predefined ones) raises
// Failure and leaves the document empty.
void loadReply(pugi::xml_document& document, const QByteArray& body);

// The text of the first node at the absolute `path` (the concatenated text of the node and all
// its descendants), or "0" when no node matches. A document without a root element, or whose root
// is not "responsed" with a "code" element, is no reply of this service and raises Failure.
QString nodeText(const pugi::xml_document& document, const QString& path);

} // namespace quorvane
