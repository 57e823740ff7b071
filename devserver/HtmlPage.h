#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// The frame every page of the service shares: one style sheet, UTF-8, and the small helpers
// that put values into markup and links safely.
namespace HtmlPage {

inline constexpr const char* kContentType = "text/html; charset=UTF-8";

// A whole document: title, the shared style sheet plus `extraCss`, and `body` as markup.
QString render(const QString& title, const QString& body, const QString& extraCss = {});

// Text and attribute values: &, <, > and " escaped.
QString escape(const QString& text);

// Percent-encoding of the UTF-8 bytes, unreserved characters left alone.
QString encode(const QString& text);

// A page with a heading and one line of explanation (expired session, unknown page, bad link).
QString renderNotice(const QString& heading, const QString& message, const QString& linkHref = {},
                     const QString& linkText = {});

} // namespace HtmlPage

} // namespace quorvane
