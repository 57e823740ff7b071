#include "app/QtTranslation.h"
#include "app/Application.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct ButtonTexts
{
    QString yes;
    QString no;
    QString ok;
    QString cancel;
};

ButtonTexts buttonTexts()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvane"), QStringLiteral("发现有更新的版本"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
            box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Cancel)->text()};
}

// The application object the client makes speaks Chinese in Qt's standard buttons too, whatever
// the locale says.
TEST(QtTranslation, TheClientsMessageBoxesHaveChineseButtons)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    int argc = 1;
    char name[] = "quorvane_client";
    char* argv[] = {name, nullptr};
    Application app(argc, argv);
    ASSERT_TRUE(QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                  QStringLiteral("/qtbase_zh_CN.qm")))
        << "Qt's Chinese catalogue is missing: run tools/install-deps";

    const ButtonTexts texts = buttonTexts();
    // The texts of Debian's qtbase_zh_CN.qm (qt6-translations-l10n, see tools/install-deps).
    EXPECT_EQ(texts.yes, QStringLiteral("是(&Y)"));
    EXPECT_EQ(texts.no, QStringLiteral("否(&N)"));
    EXPECT_EQ(texts.ok, QStringLiteral("确定"));
    EXPECT_EQ(texts.cancel, QStringLiteral("取消"));
}

// Without Qt's catalogue nothing fails: the buttons stay English.
TEST(QtTranslation, MissingCatalogueLeavesEnglish)
{
    int argc = 1;
    char name[] = "quorvane_client";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const QTemporaryDir empty;

    EXPECT_FALSE(installQtTranslationFrom(app, empty.path()));
    const ButtonTexts texts = buttonTexts();
    EXPECT_EQ(texts.yes, QStringLiteral("&Yes"));
    EXPECT_EQ(texts.no, QStringLiteral("&No"));
    EXPECT_EQ(texts.ok, QStringLiteral("OK"));
    EXPECT_EQ(texts.cancel, QStringLiteral("Cancel"));
}

} // namespace

} // namespace quorvane
