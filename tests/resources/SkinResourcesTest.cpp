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

QImage load(const QString& name)
{
    return QImage(skinPath(name));
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
    for (const auto& placement : placements) {
        const QImage ground = load(QString::fromLatin1(placement.picture));
        ASSERT_FALSE(ground.isNull()) << placement.picture;
        for (const QString& name : placement.buttons) {
            const QImage button = load(name);
            ASSERT_FALSE(button.isNull()) << qPrintable(name);
            const int right = button.width() - 1;
            const int bottom = button.height() - 1;
            for (const QPoint corner :
                 {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
                EXPECT_EQ(button.pixel(corner), ground.pixel(placement.at + corner))
                    << qPrintable(name) << " on " << placement.picture << " at corner " << corner.x() << ","
                    << corner.y();
        }
    }
}

// The notification window is often wider than its title picture; the bar beyond the picture
// repeats its last column, and the close button placed there must still match it.
TEST(WindowPictures, TitleBarsEndInAColumnThatRepeats)
{
    const QImage close = load(QStringLiteral("CLOSE_NORMAL"));
    const QImage option = load(QStringLiteral("OPTION_NORMAL"));
    for (const char* name : {SkinPicture::MainTitle, SkinPicture::LoginTitle, SkinPicture::MessageTitle}) {
        const QImage title = load(QString::fromLatin1(name));
        const int last = title.width() - 1;
        for (int y = 0; y < close.height(); ++y)
            EXPECT_EQ(close.pixel(0, y), title.pixel(last, 8 + y)) << name << " row " << 8 + y;
        for (int y = 0; y < option.height(); ++y)
            EXPECT_EQ(option.pixel(0, y), title.pixel(last, 6 + y)) << name << " row " << 6 + y;
    }
}

TEST(SkinPath, UnknownNameGivesABitmapPathThatLoadsNothing)
{
    EXPECT_EQ(skinPath(QStringLiteral("NO_SUCH_HOVER")), QStringLiteral(":/skin/NO_SUCH_HOVER.bmp"));
    EXPECT_TRUE(QImage(skinPath(QStringLiteral("NO_SUCH_HOVER"))).isNull());
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
    EXPECT_EQ(compiled.size(), int(std::size(kBitmaps) + std::size(kPictures) + 8));
}

} // namespace

} // namespace quorvane
