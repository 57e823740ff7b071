#include "resources/SkinResources.h"
#include "resources/SkinPictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct Sized
{
    const char* name;
    int width;
    int height;
};

// Every button bitmap the windows load by name, with its fixed size.
const Sized kBitmaps[] = {
    {"BUTTON_NORMAL", 87, 30}, {"BUTTON_HOVER", 87, 30},  {"CANCEL_NORMAL", 78, 26}, {"CANCEL_HOVER", 78, 26},
    {"SAVE_NORMAL", 78, 26},   {"SAVE_HOVER", 78, 26},    {"CLOSEF_NORMAL", 19, 18}, {"CLOSEF_HOVER", 19, 18},
    {"CLOSE_NORMAL", 28, 16},  {"CLOSE_HOVER", 28, 16},   {"CLOSE_CLICK", 28, 16},   {"MIN_NORMAL", 28, 16},
    {"MIN_HOVER", 28, 16},     {"MIN_CLICK", 28, 16},     {"OPTION_NORMAL", 21, 21}, {"OPTION_HOVER", 21, 21},
    {"OPTION_CLICK", 21, 21},  {"GOBACK_NORMAL", 75, 22}, {"GOBACK_HOVER", 75, 22},  {"REG_NORMAL", 100, 30},
    {"REG_HOVER", 100, 30},    {"SINA_NORMAL", 146, 30},  {"SINA_HOVER", 146, 30},
};

// The picture as drawn at `scale` (1, or 2 for high-density screens).
QImage load(const QString& name, int scale = 1)
{
    return QImage(skinPath(name, scale));
}

// The header fields of a Windows bitmap file that decide how it is stored.
struct BitmapHeader
{
    QByteArray magic;
    qint32 width = 0;
    qint32 height = 0;
    quint16 bitsPerPixel = 0;
    quint32 compression = 0;
};

BitmapHeader readBitmapHeader(const QString& path)
{
    QFile file(path);
    BitmapHeader header;
    if (!file.open(QIODevice::ReadOnly))
        return header;
    const QByteArray bytes = file.read(54);
    if (bytes.size() < 54)
        return header;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    header.magic = bytes.left(2);
    header.width = qFromLittleEndian<qint32>(data + 18);
    header.height = qFromLittleEndian<qint32>(data + 22);
    header.bitsPerPixel = qFromLittleEndian<quint16>(data + 28);
    header.compression = qFromLittleEndian<quint32>(data + 30);
    return header;
}

bool isOneColour(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

TEST(SkinBitmaps, EachIsAnUncompressed24BitBitmapOfItsSize)
{
    for (const Sized& bitmap : kBitmaps) {
        SCOPED_TRACE(bitmap.name);
        const QString path = skinPath(QString::fromLatin1(bitmap.name));
        EXPECT_EQ(path, QStringLiteral(":/skin/%1.bmp").arg(QLatin1String(bitmap.name)));
        const BitmapHeader header = readBitmapHeader(path);
        EXPECT_EQ(header.magic, QByteArrayLiteral("BM"));
        EXPECT_EQ(header.width, bitmap.width);
        EXPECT_EQ(std::abs(header.height), bitmap.height);
        EXPECT_EQ(header.bitsPerPixel, 24);
        EXPECT_EQ(header.compression, 0u); // BI_RGB
        const QImage image(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(bitmap.width, bitmap.height));
        EXPECT_FALSE(isOneColour(image)) << "a blank placeholder";
    }
}

TEST(SkinBitmaps, EveryStateLooksDifferent)
{
    const QStringList families[] = {
        {"BUTTON_NORMAL", "BUTTON_HOVER"},
        {"CANCEL_NORMAL", "CANCEL_HOVER"},
        {"SAVE_NORMAL", "SAVE_HOVER"},
        {"CLOSEF_NORMAL", "CLOSEF_HOVER"},
        {"CLOSE_NORMAL", "CLOSE_HOVER", "CLOSE_CLICK"},
        {"MIN_NORMAL", "MIN_HOVER", "MIN_CLICK"},
        {"OPTION_NORMAL", "OPTION_HOVER", "OPTION_CLICK"},
        {"GOBACK_NORMAL", "GOBACK_HOVER"},
        {"REG_NORMAL", "REG_HOVER"},
        {"SINA_NORMAL", "SINA_HOVER"},
    };
    for (const QStringList& states : families)
        for (int i = 0; i < states.size(); ++i)
            for (int j = i + 1; j < states.size(); ++j)
                EXPECT_NE(load(states[i]), load(states[j])) << qPrintable(states[i] + " = " + states[j]);
}

struct WindowPicture
{
    const char* name;
    int width;
    int height;
    QPoint probe;  // a point of plain ground
    QColor colour; // the colour expected there
};

const QColor kTitleBlue(22, 80, 153);
const QColor kFrameLight(213, 226, 242);
const QColor kDialogBody(247, 247, 247);

const WindowPicture kPictures[] = {
    {SkinPicture::MainTitle, 995, 51, {990, 40}, kTitleBlue},
    {SkinPicture::LoginTitle, 451, 51, {446, 40}, kTitleBlue},
    {SkinPicture::MessageTitle, 415, 51, {410, 40}, kTitleBlue},
    {SkinPicture::AboutBanner, 1290, 49, {1285, 40}, kTitleBlue},
    {SkinPicture::LoginFrame, 301, 295, {280, 250}, kFrameLight},
    {SkinPicture::SinaFrame, 301, 295, {280, 250}, kFrameLight},
    {SkinPicture::RegFrame, 301, 295, {280, 250}, kFrameLight},
    {SkinPicture::SettingBackground, 453, 251, {200, 230}, kDialogBody},
    {SkinPicture::FeedbackBackground, 453, 280, {440, 150}, kDialogBody},
    {SkinPicture::LoginSide, 150, 295, {}, {}},
    {SkinPicture::SinaLogo, 140, 42, {139, 41}, kFrameLight},
    {SkinPicture::FrameSeparator, 267, 4, {}, {}},
    {SkinPicture::FrameFooter, 168, 13, {}, {}},
    {SkinPicture::ErrorIcon, 12, 12, {6, 1}, QColor(222, 48, 48)},
    {SkinPicture::CertifiedBadge, 16, 16, {}, {}},
    {SkinPicture::TitleSplit, 2, 11, {}, {}},
    {SkinPicture::TitleEmail, 13, 10, {}, {}},
    {SkinPicture::TitleSeparator, 3, 8, {}, {}},
};

TEST(WindowPictures, EachExistsAtItsSizeOnItsGround)
{
    for (const WindowPicture& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        const QString path = skinPath(QString::fromLatin1(picture.name));
        EXPECT_EQ(path, QStringLiteral(":/skin/%1.png").arg(QLatin1String(picture.name)));
        const QImage image(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(picture.width, picture.height));
        EXPECT_FALSE(isOneColour(image));
        if (picture.colour.isValid()) {
            EXPECT_EQ(image.pixelColor(picture.probe), picture.colour);
        }
    }
}

// A button bitmap has no transparency: its corners must be the very pixels of the picture
// it lies on, or a seam shows around it.
TEST(WindowPictures, ButtonsBlendIntoThePicturesBeneathThem)
{
    const struct
    {
        QStringList buttons;
        const char* picture;
        QPoint at;
    } placements[] = {
        {{"CLOSE_NORMAL", "CLOSE_HOVER", "CLOSE_CLICK"}, SkinPicture::MainTitle, {946, 8}},
        {{"MIN_NORMAL", "MIN_HOVER", "MIN_CLICK"}, SkinPicture::MainTitle, {912, 8}},
        {{"OPTION_NORMAL", "OPTION_HOVER", "OPTION_CLICK"}, SkinPicture::MainTitle, {885, 6}},
        {{"CLOSE_NORMAL", "CLOSE_HOVER"}, SkinPicture::LoginTitle, {415, 8}},
        {{"MIN_NORMAL", "MIN_HOVER"}, SkinPicture::LoginTitle, {381, 8}},
        {{"CLOSE_NORMAL", "CLOSE_HOVER"}, SkinPicture::MessageTitle, {415 - 28 - 17, 8}},
        {{"BUTTON_NORMAL", "BUTTON_HOVER"}, SkinPicture::LoginFrame, {64, 165}},
        {{"BUTTON_NORMAL", "BUTTON_HOVER"}, SkinPicture::LoginFrame, {170, 166}},
        {{"REG_NORMAL", "REG_HOVER"}, SkinPicture::LoginFrame, {3, 227}},
        {{"SINA_NORMAL", "SINA_HOVER"}, SkinPicture::LoginFrame, {121, 227}},
        {{"BUTTON_NORMAL", "BUTTON_HOVER"}, SkinPicture::SinaFrame, {90, 203}},
        {{"BUTTON_NORMAL", "BUTTON_HOVER"}, SkinPicture::SinaFrame, {183, 203}},
        {{"GOBACK_NORMAL", "GOBACK_HOVER"}, SkinPicture::SinaFrame, {212, 265}},
        {{SkinPicture::SinaLogo}, SkinPicture::SinaFrame, {21, 13}},
        {{"BUTTON_NORMAL", "BUTTON_HOVER"}, SkinPicture::RegFrame, {90, 203}},
        {{"BUTTON_NORMAL", "BUTTON_HOVER"}, SkinPicture::RegFrame, {183, 203}},
        {{"GOBACK_NORMAL", "GOBACK_HOVER"}, SkinPicture::RegFrame, {212, 265}},
        {{"SAVE_NORMAL", "SAVE_HOVER"}, SkinPicture::SettingBackground, {129, 180}},
        {{"CANCEL_NORMAL", "CANCEL_HOVER"}, SkinPicture::SettingBackground, {237, 180}},
        {{"CLOSEF_NORMAL", "CLOSEF_HOVER"}, SkinPicture::SettingBackground, {415, 18}},
        {{"CLOSEF_NORMAL", "CLOSEF_HOVER"}, SkinPicture::FeedbackBackground, {414, 20}},
    };
    for (int scale : {1, 2}) {
        for (const auto& placement : placements) {
            const QImage ground = load(QString::fromLatin1(placement.picture), scale);
            ASSERT_FALSE(ground.isNull()) << placement.picture;
            for (const QString& name : placement.buttons) {
                const QImage button = load(name, scale);
                ASSERT_FALSE(button.isNull()) << qPrintable(name);
                const int right = button.width() - 1;
                const int bottom = button.height() - 1;
                for (const QPoint corner :
                     {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
                    EXPECT_EQ(button.pixel(corner), ground.pixel(placement.at * scale + corner))
                        << qPrintable(name) << " on " << placement.picture << " at corner " << corner.x()
                        << "," << corner.y() << ", scale " << scale;
            }
        }
    }
}

// The notification window is often wider than its title picture; the bar beyond the picture
// repeats its last column, and the close button placed there must still match it.
TEST(WindowPictures, TitleBarsEndInAColumnThatRepeats)
{
    for (int scale : {1, 2}) {
        const QImage close = load(QStringLiteral("CLOSE_NORMAL"), scale);
        const QImage option = load(QStringLiteral("OPTION_NORMAL"), scale);
        for (const char* name :
             {SkinPicture::MainTitle, SkinPicture::LoginTitle, SkinPicture::MessageTitle}) {
            const QImage title = load(QString::fromLatin1(name), scale);
            const int last = title.width() - 1;
            for (int y = 0; y < close.height(); ++y)
                EXPECT_EQ(close.pixel(0, y), title.pixel(last, 8 * scale + y)) << name << " row " << y;
            for (int y = 0; y < option.height(); ++y)
                EXPECT_EQ(option.pixel(0, y), title.pixel(last, 6 * scale + y)) << name << " row " << y;
        }
    }
}

// The mean difference of two pictures of one size, over every channel, 0 to 255.
double meanDifference(const QImage& a, const QImage& b)
{
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * first.width() * first.height());
}

// For high-density screens every bitmap and picture is drawn again at twice the size: stored
// as its 1x twin is, read by Qt with a device pixel ratio of 2, and the same picture: shrunk
// back to 1x it differs from the 1x drawing only where an edge falls between two pixels.
TEST(SharperPictures, EachHasATwinOfTwiceTheSizeThatLooksTheSame)
{
    QList<Sized> all(std::begin(kBitmaps), std::end(kBitmaps));
    for (const WindowPicture& picture : kPictures)
        all.append({picture.name, picture.width, picture.height});
    for (const Sized& picture : all) {
        SCOPED_TRACE(picture.name);
        const QString name = QString::fromLatin1(picture.name);
        const QString path = skinPath(name, 2);
        EXPECT_EQ(path, skinPath(name).replace(QLatin1Char('.'), QStringLiteral("@2x.")));
        for (const qreal ratio : {1.25, 1.5, 3.0})
            EXPECT_EQ(skinPath(name, ratio), path) << "scale " << ratio;
        if (path.endsWith(QLatin1String(".bmp"))) {
            const BitmapHeader header = readBitmapHeader(path);
            EXPECT_EQ(header.bitsPerPixel, 24);
            EXPECT_EQ(header.compression, 0u);
        }
        const QImage twin(path);
        ASSERT_FALSE(twin.isNull());
        EXPECT_EQ(twin.size(), QSize(picture.width, picture.height) * 2);
        EXPECT_EQ(twin.devicePixelRatio(), 2.0);
        const QImage single = load(name);
        EXPECT_EQ(twin.hasAlphaChannel(), single.hasAlphaChannel());
        const QImage shrunk = twin.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Large pictures differ by about 1, those with text by up to 8; the thin diagonal lines
        // of the 13 x 10 envelope, blurred at 1x, by about 19. A picture drawn unscaled into
        // one corner of its twin, or another picture, differs by far more.
        EXPECT_LT(meanDifference(shrunk, single), 24.0);
    }
}

TEST(SkinPath, UnknownNameGivesABitmapPathThatLoadsNothing)
{
    EXPECT_EQ(skinPath(QStringLiteral("NO_SUCH_HOVER")), QStringLiteral(":/skin/NO_SUCH_HOVER.bmp"));
    EXPECT_TRUE(QImage(skinPath(QStringLiteral("NO_SUCH_HOVER"))).isNull());
    EXPECT_EQ(skinPath(QStringLiteral("NO_SUCH_HOVER"), 2), QStringLiteral(":/skin/NO_SUCH_HOVER.bmp"));
    // Names are exact: a bitmap is not found under another letter case.
    EXPECT_TRUE(QImage(skinPath(QStringLiteral("close_hover"))).isNull());
}

TEST(ApplicationIcon, EverySizeIsDrawnWithATransparentCorner)
{
    int argc = 1;
    char program[] = "resources_tests";
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);

    const QIcon icon = applicationIcon();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage image(QStringLiteral(":/skin/icons/quorvane-%1.png").arg(size));
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0); // rounded plate, not a square
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size));
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral(QUORVANE_RESOURCES_DIR "/icons/quorvane.svg")));
}

// Every picture in the source folder is compiled in, and nothing else is: a picture added
// without redrawing resources.qrc, or a stale entry, fails here.
TEST(ResourceFile, ListsExactlyThePicturesOfTheSourceFolder)
{
    initSkinResources();
    QSet<QString> compiled;
    QDirIterator it(QStringLiteral(":/skin"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        compiled.insert(it.next().mid(QStringLiteral(":/skin/").size()));

    QSet<QString> sources;
    const QDir root(QStringLiteral(QUORVANE_RESOURCES_DIR));
    for (const QString& file : QDir(root.filePath(QStringLiteral("skin"))).entryList(QDir::Files))
        sources.insert(file);
    for (const QString& file :
         QDir(root.filePath(QStringLiteral("icons"))).entryList({QStringLiteral("*.png")}))
        sources.insert(QStringLiteral("icons/") + file);

    EXPECT_EQ(compiled, sources);
    // Every bitmap and picture at 1x and at 2x, and the eight icons.
    EXPECT_EQ(compiled.size(), int(2 * (std::size(kBitmaps) + std::size(kPictures)) + 8));
}

} // namespace

} // namespace quorvane
