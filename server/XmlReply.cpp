#include "server/XmlReply.h"

#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"

namespace {

// The default options read neither the document type declaration nor processing instructions;
// only the five predefined entities and character references are decoded.
constexpr unsigned kParseOptions = pugi::parse_default & ~pugi::parse_doctype;

// Iterative, so that a deeply nested reply cannot exhaust the stack.
QString TextContent(const pugi::xml_node& start)
{
    if (start.type() == pugi::node_pcdata || start.type() == pugi::node_cdata)
        return QString::fromUtf8(start.value());
    QByteArray text;
    pugi::xml_node node = start.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text.append(node.value());
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != start && !node.next_sibling())
            node = node.parent();
        if (!node || node == start)
            break;
        node = node.next_sibling();
    }
    return QString::fromUtf8(text);
}

} // namespace

void LoadReply(pugi::xml_document& document, const QByteArray& body)
{
    const QByteArray text = FromAnsi(body).toUtf8();
    const pugi::xml_parse_result result = document.load_buffer(
        text.constData(), static_cast<size_t>(text.size()), kParseOptions, pugi::encoding_utf8);
    if (result || result.status == pugi::status_no_document_element)
        return;
    // Nothing of a broken reply stays to be read by mistake.
    document.reset();
    throw TFailure(QStringLiteral("The server's reply is not well-formed XML (%1 at offset %2)")
                       .arg(QString::fromLatin1(result.description()))
                       .arg(result.offset));
}

QString NodeText(const pugi::xml_document& document, const QString& path)
{
    if (!document.document_element())
        throw TFailure(QStringLiteral("The server's reply is empty"));
    pugi::xpath_node found;
    try {
        found = document.select_node(path.toUtf8().constData());
    } catch (const pugi::xpath_exception& error) {
        throw TFailure(QStringLiteral("\"%1\" is not a valid reply path: %2")
                           .arg(path, QString::fromLatin1(error.what())));
    }
    if (found.attribute())
        return QString::fromUtf8(found.attribute().value());
    if (!found.node())
        return QStringLiteral("0");
    return TextContent(found.node());
}
