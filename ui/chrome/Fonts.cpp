#include "ui/chrome/Fonts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <cmath>
#include <mutex>

namespace quorvane {

namespace {

const QString kSong = QStringLiteral("宋体");
const QString kArial = QStringLiteral("Arial");

} // namespace

void installLoginFonts()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // A Song face would be closer in style, but at 12 to 16 pixels the sans face reads far
        // better on screen, and the pictures of the windows are lettered in it too.
        QFont::insertSubstitutions(kSong,
                                   {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("WenQuanYi Micro Hei")});
        // The usual replacements for Arial run wider and would push "E-mail：" into its edit.
        QFont::insertSubstitutions(kArial,
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK SC")});
    });
}

QFont songFont(int pixelSize)
{
    installLoginFonts();
    QFont font(kSong);
    font.setPixelSize(pixelSize);
    return font;
}

QFont arialFont(int pixelSize)
{
    installLoginFonts();
    QFont font(kArial);
    font.setPixelSize(pixelSize);
    return font;
}

void placeLabel(QLabel* label, int x, int y, double designAscent)
{
    label->adjustSize();
    const QFont& font = label->font();
    const int designed = static_cast<int>(std::lround(designAscent * font.pixelSize()));
    const int shift = QFontMetrics(font).ascent() - designed;
    label->move(x, y - shift);
}

} // namespace quorvane
