#include "devserver/HtmlPage.h"

namespace quorvane {

namespace {

const char* const kStyleSheet = R"css(
* { box-sizing: border-box; }
body { margin: 0; font: 13px/1.6 "Microsoft YaHei", "Noto Sans CJK SC", "SimSun", sans-serif;
       color: #333; background: #f2f5fa; }
a { color: #16509a; text-decoration: none; }
a:hover { text-decoration: underline; }
.bar { display: flex; align-items: center; justify-content: space-between; padding: 10px 20px;
       background: linear-gradient(#1d65bf, #165099); color: #fff; }
.bar a { color: #d8e6ff; }
.logo { font-size: 18px; font-weight: bold; letter-spacing: 1px; }
.logo span { color: #ffcc4d; margin-left: 4px; }
.badge { display: inline-block; margin-left: 6px; padding: 0 6px; border-radius: 3px;
         background: #ffcc4d; color: #7a4b00; font-size: 12px; }
main { padding: 16px 20px; }
h1 { font-size: 16px; margin: 0 0 4px; color: #16509a; }
h2 { font-size: 14px; margin: 16px 0 6px; color: #16509a; }
.muted { color: #888; font-size: 12px; margin: 0 0 10px; }
table { width: 100%; border-collapse: collapse; background: #fff; box-shadow: 0 1px 2px rgba(0,0,0,.08); }
th, td { padding: 7px 10px; border-bottom: 1px solid #e6ebf2; text-align: left; white-space: nowrap; }
th { background: #e9f0fa; color: #4a5a70; font-weight: normal; }
td.number, th.number { text-align: right; }
tr:hover td { background: #f7faff; }
.up { color: #d23c2a; }
.down { color: #2a8a3c; }
.actions { margin-top: 14px; display: flex; gap: 10px; flex-wrap: wrap; }
.button { display: inline-block; padding: 6px 14px; border-radius: 4px; background: #1d65bf; color: #fff; }
.button:hover { background: #165099; text-decoration: none; }
.button.share { background: #e8541e; }
.button.share:hover { background: #c9430f; }
.card { background: #fff; border-radius: 6px; padding: 12px 16px; box-shadow: 0 1px 2px rgba(0,0,0,.08); }
footer { padding: 12px 20px; color: #999; font-size: 12px; text-align: center; }
)css";

} // namespace

namespace HtmlPage {

QString render(const QString& title, const QString& body, const QString& extraCss)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<title>%1</title>\n<style>%2%3</style>\n</head>\n<body>\n%4\n</body>\n</html>\n")
        .arg(escape(title), QString::fromUtf8(kStyleSheet), extraCss, body);
}

QString escape(const QString& text)
{
    return text.toHtmlEscaped();
}

QString encode(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

QString renderNotice(const QString& heading, const QString& message, const QString& linkHref,
                     const QString& linkText)
{
    QString body =
        QStringLiteral(
            "<header class=\"bar\"><div class=\"logo\">Quorvane<span>房价通</span></div></header>\n"
            "<main><div class=\"card\"><h1>%1</h1><p>%2</p>")
            .arg(escape(heading), escape(message));
    if (!linkHref.isEmpty())
        body += QStringLiteral("<p><a class=\"button\" href=\"%1\">%2</a></p>")
                    .arg(escape(linkHref), escape(linkText));
    body += QStringLiteral("</div></main>");
    return render(heading, body);
}

} // namespace HtmlPage

} // namespace quorvane
