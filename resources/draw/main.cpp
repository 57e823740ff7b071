// Draws every picture of the client into the resources folder and lists them in resources.qrc.
//   quorvane_draw_pictures RESOURCES_DIR [--mockups DIR]
// --mockups also writes preview sheets (whole windows put together) to DIR.

#include "AppIcon.h"
#include "DialogPictures.h"
#include "LoginPictures.h"
#include "Mockups.h"
#include "PictureWriter.h"
#include "SkinButtons.h"
#include "TitlePictures.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>
#include <exception>

using namespace quorvane;

int main(int argc, char* argv[])
{
    // Fonts need a platform; the offscreen one needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--mockups"))) {
        err << "usage: quorvane_draw_pictures RESOURCES_DIR [--mockups DIR]\n";
        return 2;
    }
    if (!QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK SC"))) {
        err << "the font \"Noto Sans CJK SC\" (package fonts-noto-cjk) is needed for the Chinese captions\n";
        return 1;
    }
    try {
        const QDir root(args[1]);
        PictureWriter writer(root);
        // Every skin picture at 1x, then at 2x for high-density screens.
        for (int scale : {1, 2}) {
            drawSkinButtons(writer, scale);
            drawTitlePictures(writer, scale);
            drawLoginPictures(writer, scale);
            drawDialogPictures(writer, scale);
        }
        drawAppIcons(writer);
        writer.writeResourceFile();
        QTextStream(stdout) << "wrote " << writer.written().size() << " files and resources.qrc below "
                            << root.absolutePath() << "\n";
        if (args.size() == 4) {
            QDir out(args[3]);
            out.mkpath(QStringLiteral("."));
            writeMockups(root, out);
        }
    } catch (const std::exception& failure) {
        err << failure.what() << "\n";
        return 1;
    }
    return 0;
}
