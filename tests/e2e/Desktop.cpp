#include "tests/e2e/Desktop.h"

#include <QProcess>
#include <QRegularExpression>

namespace Desktop {

QString Run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<qint64> SearchWindows(qint64 pid, const QString& namePattern)
{
    const QString out = Run(QStringLiteral("xdotool"),
                            {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"),
                             QString::number(pid), QStringLiteral("--name"), namePattern});
    QList<qint64> ids;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 id = line.trimmed().toLongLong(&ok);
        if (ok)
            ids.append(id);
    }
    return ids;
}

std::optional<TWindow> Inspect(qint64 id)
{
    const QString out = Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(id)});
    auto number = [&out](const char* label) -> std::optional<int> {
        const QRegularExpressionMatch match =
            QRegularExpression(QLatin1String(label) + QStringLiteral(":\\s+(-?\\d+)")).match(out);
        if (!match.hasMatch())
            return std::nullopt;
        return match.captured(1).toInt();
    };
    const auto x = number("Absolute upper-left X");
    const auto y = number("Absolute upper-left Y");
    const auto width = number("Width");
    const auto height = number("Height");
    if (!x || !y || !width || !height)
        return std::nullopt;
    TWindow window;
    window.id = id;
    window.geometry = QRect(*x, *y, *width, *height);
    window.viewable = out.contains(QStringLiteral("Map State: IsViewable"));
    window.overrideRedirect = out.contains(QStringLiteral("Override Redirect State: yes"));
    return window;
}

QList<TWindow> ShownWindows(qint64 pid, const QString& namePattern)
{
    QList<TWindow> shown;
    for (const qint64 id : SearchWindows(pid, namePattern)) {
        const std::optional<TWindow> window = Inspect(id);
        if (window && window->viewable)
            shown.append(*window);
    }
    return shown;
}

std::optional<TWindow> ShownWindowOfSize(qint64 pid, int width, int height)
{
    for (const TWindow& window : ShownWindows(pid)) {
        if (window.geometry.width() == width && window.geometry.height() == height)
            return window;
    }
    return std::nullopt;
}

QString WindowName(qint64 id)
{
    return Run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(id)}).trimmed();
}

QString WindowTypes(qint64 id)
{
    return Run(QStringLiteral("xprop"),
               {QStringLiteral("-id"), QString::number(id), QStringLiteral("_NET_WM_WINDOW_TYPE")})
        .trimmed();
}

void MoveMouse(QPoint point)
{
    Run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                    QString::number(point.x()), QString::number(point.y())});
}

void Click(QPoint point, int button)
{
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()),
         QString::number(point.y()), QStringLiteral("click"), QString::number(button)});
}

void Key(const QStringList& keys)
{
    Run(QStringLiteral("xdotool"),
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keys);
}

void Type(const QString& text)
{
    Run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"),
                                    QStringLiteral("--"), text});
}

void Focus(qint64 id)
{
    // --sync waits for the focus to arrive; a window that cannot take it must not hold the test up.
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(id)}, 5000);
}

} // namespace Desktop
