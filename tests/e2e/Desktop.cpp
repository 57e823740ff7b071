#include "tests/e2e/Desktop.h"

#include <QProcess>
#include <QRegularExpression>

namespace quorvane {

namespace Desktop {

QString run(const QString& program, const QStringList& arguments, int timeoutMs)
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

QList<qint64> searchWindows(qint64 pid, const QString& namePattern)
{
    const QString out = run(QStringLiteral("xdotool"),
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

std::optional<DesktopWindow> inspect(qint64 id)
{
    const QString out = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(id)});
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
    DesktopWindow window;
    window.id = id;
    window.geometry = QRect(*x, *y, *width, *height);
    window.viewable = out.contains(QStringLiteral("Map State: IsViewable"));
    window.overrideRedirect = out.contains(QStringLiteral("Override Redirect State: yes"));
    return window;
}

QList<DesktopWindow> shownWindows(qint64 pid, const QString& namePattern)
{
    QList<DesktopWindow> shown;
    for (const qint64 id : searchWindows(pid, namePattern)) {
        const std::optional<DesktopWindow> window = inspect(id);
        if (window && window->viewable)
            shown.append(*window);
    }
    return shown;
}

std::optional<DesktopWindow> shownWindowOfSize(qint64 pid, int width, int height)
{
    for (const DesktopWindow& window : shownWindows(pid)) {
        if (window.geometry.width() == width && window.geometry.height() == height)
            return window;
    }
    return std::nullopt;
}

QString windowName(qint64 id)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(id)}).trimmed();
}

QString windowTypes(qint64 id)
{
    return run(QStringLiteral("xprop"),
               {QStringLiteral("-id"), QString::number(id), QStringLiteral("_NET_WM_WINDOW_TYPE")})
        .trimmed();
}

void moveMouse(QPoint point)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                    QString::number(point.x()), QString::number(point.y())});
}

void click(QPoint point, int button)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()),
         QString::number(point.y()), QStringLiteral("click"), QString::number(button)});
}

void key(const QStringList& keys)
{
    run(QStringLiteral("xdotool"),
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keys);
}

void type(const QString& text)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"),
                                    QStringLiteral("--"), text});
}

void focus(qint64 id)
{
    // --sync waits for the focus to arrive; a window that cannot take it must not hold the test up.
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(id)}, 5000);
}

} // namespace Desktop

} // namespace quorvane
