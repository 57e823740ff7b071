// The skin on a high-density screen: this program runs under QT_SCALE_FACTOR 1.5 and 2 (see
// CMakeLists.txt), as on a desktop set to that scale.
#include "notify/MessageTitle.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/SkinBitmap.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

TEST(HighDensity, PicturesComeFromTheSharperDrawingAtTheirSizeInPoints)
{
    ASSERT_GT(testApp().devicePixelRatio(), 1.0) << "run with QT_SCALE_FACTOR 1.5 or 2";
    for (const char* name :
         {"CLOSE_HOVER", "BUTTON_NORMAL", SkinPicture::LoginTitle, SkinPicture::LoginFrame}) {
        SCOPED_TRACE(name);
        const QPixmap picture = skinBitmap(QString::fromLatin1(name));
        const QImage single(skinPath(QString::fromLatin1(name)));
        EXPECT_EQ(picture.devicePixelRatio(), 2.0);
        EXPECT_EQ(picture.size(), single.size() * 2);
        // Shown, it takes the room of the 1x picture, in points.
        Image image;
        image.setPicture(picture);
        EXPECT_EQ(image.size(), single.size());
    }
}

TEST(HighDensity, ShownAtScaleTwoEveryPixelIsTheSharperDrawing)
{
    if (testApp().devicePixelRatio() != 2.0)
        GTEST_SKIP() << "only at scale 2 does a pixel of the screen hold exactly one of the picture";
    const QImage sharp(skinPath(QString::fromLatin1(SkinPicture::LoginTitle), 2));
    Image image;
    image.setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
    const QImage shown = image.grab().toImage().convertToFormat(sharp.format());
    ASSERT_EQ(shown.size(), sharp.size());
    EXPECT_EQ(shown, sharp);
}

// The notification's title bar is as wide as the notification: beyond its picture it repeats
// the last column, in the picture's own pixels.
TEST(HighDensity, AWideMessageTitleRepeatsTheLastColumnOfTheSharperPicture)
{
    const QPixmap wide = messageTitlePicture(700);
    const QImage sharp(skinPath(QString::fromLatin1(SkinPicture::MessageTitle), 2));
    EXPECT_EQ(wide.deviceIndependentSize().toSize(), QSize(700, 51));
    EXPECT_EQ(wide.devicePixelRatio(), 2.0);
    const QImage image = wide.toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(1400, 102));
    for (int y = 0; y < image.height(); ++y) {
        EXPECT_EQ(image.pixel(100, y), sharp.pixel(100, y)) << "row " << y;
        EXPECT_EQ(image.pixel(1399, y), sharp.pixel(sharp.width() - 1, y)) << "row " << y;
    }
}

} // namespace

} // namespace quorvane
