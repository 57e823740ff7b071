#include "server/XmlReply.h"

#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"

#include <QRegularExpression>
#include <cstring>

namespace quorvane {

namespace {

// The default options read neither the document type declaration nor processing instructions;
// only the five predefined entities and character references are decoded. As a fragment, text
// outside the root element stays in the tree, where it is found and refused.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_doctype) | pugi::parse_fragment;

// pugixml leaves a "&" that starts no reference as it stands; XML does not. The first offset of
// a "&" that is not one of the five predefined entities or a character reference, outside
// comments, CDATA sections, processing instructions and the document type declaration; -1
// when there is none.
qsizetype strayAmpersand(const QByteArray& text)
{
    struct Skipped
    {
        QByteArray open;
        QByteArray close;
    };
    static const Skipped skipped[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!DOCTYPE", ">"}};
    static const QRegularExpression reference(
        QStringLiteral("^&(lt|gt|amp|quot|apos|#[0-9]+|#x[0-9A-Fa-f]+);"));
    qsizetype i = 0;
    while (i < text.size()) {
        const Skipped* section = nullptr;
        if (text[i] == '<') {
            for (const Skipped& candidate : skipped) {
                if (QByteArrayView(text.constData() + i, text.size() - i).startsWith(candidate.open)) {
                    section = &candidate;
                    break;
                }
            }
        }
        if (section) {
            QByteArray close = section->close;
            // A document type declaration with an internal subset ends at "]>".
            const qsizetype bracket = text.indexOf('[', i);
            if (section->open == "<!DOCTYPE" && bracket >= 0 && bracket < text.indexOf('>', i))
                close = "]>";
            const qsizetype end = text.indexOf(close, i + section->open.size());
            i = end < 0 ? text.size() : end + close.size();
            continue;
        }
        if (text[i] == '&' && !reference.match(QString::fromLatin1(text.mid(i, 16))).hasMatch())
            return i;
        ++i;
    }
    return -1;
}

// Why a parsed document is not one XML document: a second root element, or text beside the root.
QString extraContent(const pugi::xml_document& document)
{
    int elements = 0;
    for (const pugi::xml_node& node : document.children()) {
        if (node.type() == pugi::node_element)
            ++elements;
        else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            return QStringLiteral("text outside the root element");
    }
    return elements > 1 ? QStringLiteral("a second root element") : QString();
}

// Iterative, so that a deeply nested reply cannot exhaust the stack.
QString textContent(const pugi::xml_node& start)
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

void loadReply(pugi::xml_document& document, const QByteArray& body)
{
    const QByteArray text = fromAnsi(body).toUtf8();
    const auto refuse = [&document](const QString& what, qsizetype offset) {
        // Nothing of a broken reply stays to be read by mistake.
        document.reset();
        throw Failure(QStringLiteral("The server's reply is not well-formed XML (%1 at offset %2)")
                          .arg(what)
                          .arg(offset));
    };
    const qsizetype ampersand = strayAmpersand(text);
    if (ampersand >= 0)
        refuse(QStringLiteral("a \"&\" that starts no reference"), ampersand);
    const pugi::xml_parse_result result = document.load_buffer(
        text.constData(), static_cast<size_t>(text.size()), kParseOptions, pugi::encoding_utf8);
    if (!result && result.status != pugi::status_no_document_element)
        refuse(QString::fromLatin1(result.description()), result.offset);
    const QString extra = extraContent(document);
    if (!extra.isEmpty())
        refuse(extra, 0);
}

QString nodeText(const pugi::xml_document& document, const QString& path)
{
    const pugi::xml_node root = document.document_element();
    if (!root)
        throw Failure(QStringLiteral("The server's reply is empty"));
    // Anything else that is well-formed (a captive portal's page, another service's answer) is
    // not a reply of this service, and never a success.
    if (QLatin1String(root.name()) != QLatin1String("responsed") || !root.child("code"))
        throw Failure(QStringLiteral("The server's reply is not a reply of this service (root \"%1\"%2)")
                          .arg(QString::fromUtf8(root.name()).left(40),
                               root.child("code") ? QString() : QStringLiteral(", no code")));
    pugi::xpath_node found;
    try {
        found = document.select_node(path.toUtf8().constData());
    } catch (const pugi::xpath_exception& error) {
        throw Failure(QStringLiteral("\"%1\" is not a valid reply path: %2")
                          .arg(path, QString::fromLatin1(error.what())));
    }
    if (found.attribute())
        return QString::fromUtf8(found.attribute().value());
    if (!found.node())
        return QStringLiteral("0");
    return textContent(found.node());
}

} // namespace quorvane
