#include "ui/dialogs/SettingsDialog.h"
#include "ui/chrome/OpenWindows.h"

#include "config/ConfigStore.h"
#include "platform/SystemPaths.h"
#include "tests/support/AccessibleTree.h"
#include "tests/support/NamedChild.h"
#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPointer>
#include <QTest>

namespace quorvane {

namespace {

class SettingsDialogTest : public DialogsFixture
{
protected:
    ~SettingsDialogTest() override
    {
        if (findOpenWindow<SettingsDialog>())
            delete findOpenWindow<SettingsDialog>();
    }

    // Opens the window as the menus do and waits until it can take keys.
    SettingsDialog* open()
    {
        showSettingWindow(nullptr);
        EXPECT_TRUE(findOpenWindow<SettingsDialog>());
        if (findOpenWindow<SettingsDialog>()) {
            EXPECT_TRUE(showAndActivate(*findOpenWindow<SettingsDialog>()));
        }
        return findOpenWindow<SettingsDialog>();
    }

    static void click(ImageButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        processEvents();
    }

    QString autostartExec() const
    {
        const QString entry = TempProfile::readFile(m_profile.autostartFile());
        for (const QString& line : entry.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("Exec=")))
                return line.mid(5);
        return QStringLiteral("<none>");
    }

    static int openWindows()
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += qobject_cast<SettingsDialog*>(widget) != nullptr;
        return count;
    }
};

TEST_F(SettingsDialogTest, LooksAsLaidOut)
{
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("系统设置"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(453, 251));
    EXPECT_EQ(child<DragImage>(window, "background")->geometry(), QRect(0, 0, 453, 251));
    EXPECT_EQ(child<QCheckBox>(window, "cbAutoRun")->text(), QStringLiteral(" 开机时自动启动"));
    EXPECT_EQ(child<QCheckBox>(window, "cbAutoLogin")->text(), QStringLiteral(" 启动时自动登录"));
    EXPECT_EQ(child<QCheckBox>(window, "cbCloseOnExit")->text(), QStringLiteral(" 点击关闭自动退出"));
    // Left edges and widths as laid out; the heights follow the font, centred on the rows.
    EXPECT_EQ(child<QCheckBox>(window, "cbAutoRun")->x(), 149);
    EXPECT_EQ(child<QCheckBox>(window, "cbAutoRun")->width(), 153);
    EXPECT_EQ(child<QCheckBox>(window, "cbAutoLogin")->width(), 185);
    EXPECT_EQ(child<QCheckBox>(window, "cbCloseOnExit")->width(), 161);
    EXPECT_LT(child<QCheckBox>(window, "cbAutoRun")->geometry().center().y(),
              child<QCheckBox>(window, "cbAutoLogin")->geometry().center().y());
    EXPECT_LT(child<QCheckBox>(window, "cbAutoLogin")->geometry().center().y(),
              child<QCheckBox>(window, "cbCloseOnExit")->geometry().center().y());
    EXPECT_EQ(child<ImageButton>(window, "imgSave")->geometry(), QRect(129, 180, 78, 26));
    EXPECT_EQ(child<ImageButton>(window, "imgCancel")->geometry(), QRect(237, 180, 78, 26));
    EXPECT_EQ(child<ImageButton>(window, "closeButton")->geometry(), QRect(415, 18, 19, 18));
    EXPECT_EQ(child<ImageButton>(window, "imgSave")->word(), QStringLiteral("SAVE"));
    EXPECT_EQ(child<ImageButton>(window, "imgCancel")->word(), QStringLiteral("CANCEL"));
    EXPECT_EQ(child<ImageButton>(window, "closeButton")->word(), QStringLiteral("CLOSEF"));

    // The keyboard visits the boxes in their own order, not in their order on screen.
    child<QCheckBox>(window, "cbAutoRun")->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child<QCheckBox>(window, "cbCloseOnExit"));
    QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child<QCheckBox>(window, "cbAutoLogin"));
}

// A screen reader reads the skinned buttons by the words their pictures show.
TEST_F(SettingsDialogTest, ItsButtonsAreNamedPushButtons)
{
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    QStringList buttons;
    for (const AccessibleNode& node : accessibleTree(window)) {
        if (node.role == QAccessible::Button)
            buttons.append(node.name);
    }
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("保存"), QStringLiteral("取消"), QStringLiteral("关闭")}));
}

TEST_F(SettingsDialogTest, OpeningTwiceGivesOneWindowBroughtToTheFront)
{
    SettingsDialog* first = open();
    ASSERT_TRUE(first);
    QWidget other;
    ASSERT_TRUE(showAndActivate(other));
    showSettingWindow(nullptr);
    EXPECT_EQ(findOpenWindow<SettingsDialog>(), first);
    EXPECT_EQ(openWindows(), 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(first, 10000));
}

TEST_F(SettingsDialogTest, NothingStoredOpensUnticked)
{
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_FALSE(child<QCheckBox>(window, "cbAutoRun")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(window, "cbAutoLogin")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(window, "cbCloseOnExit")->isChecked());
}

TEST_F(SettingsDialogTest, OpensWithTheStoredValues)
{
    writeIni("auto_login=1\r\nclose_on_exit=1\r\n");
    ASSERT_TRUE(ConfigStore().setAutoRun(true));
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_TRUE(child<QCheckBox>(window, "cbAutoRun")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(window, "cbAutoLogin")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(window, "cbCloseOnExit")->isChecked());
}

TEST_F(SettingsDialogTest, CancelAndCloseChangeNothing)
{
    writeIni("auto_login=1\r\n");
    const QByteArray before = TempProfile::readFile(m_profile.configFile()).toUtf8();
    for (const char* button : {"imgCancel", "closeButton"}) {
        SettingsDialog* window = open();
        ASSERT_TRUE(window);
        QPointer<SettingsDialog> alive(window);
        child<QCheckBox>(window, "cbAutoRun")->setChecked(true);
        child<QCheckBox>(window, "cbAutoLogin")->setChecked(false);
        child<QCheckBox>(window, "cbCloseOnExit")->setChecked(true);
        click(window->findChild<ImageButton*>(QLatin1String(button)));

        EXPECT_FALSE(findOpenWindow<SettingsDialog>()) << button;
        EXPECT_FALSE(alive) << button << ": the window is destroyed";
        EXPECT_EQ(TempProfile::readFile(m_profile.configFile()).toUtf8(), before) << button;
        EXPECT_FALSE(QFile::exists(m_profile.autostartFile())) << button;
    }
    // A fresh window reads the stored values again.
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_FALSE(child<QCheckBox>(window, "cbAutoRun")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(window, "cbAutoLogin")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(window, "cbCloseOnExit")->isChecked());
}

TEST_F(SettingsDialogTest, SaveWritesAllThree)
{
    const struct
    {
        bool autoRun, autoLogin, closeOnExit;
    } cases[] = {{true, true, true}, {false, true, false}, {true, false, true}, {false, false, false}};
    for (const auto& c : cases) {
        const std::string row =
            std::to_string(c.autoRun) + std::to_string(c.autoLogin) + std::to_string(c.closeOnExit);
        SettingsDialog* window = open();
        ASSERT_TRUE(window);
        child<QCheckBox>(window, "cbAutoRun")->setChecked(c.autoRun);
        child<QCheckBox>(window, "cbAutoLogin")->setChecked(c.autoLogin);
        child<QCheckBox>(window, "cbCloseOnExit")->setChecked(c.closeOnExit);
        click(child<ImageButton>(window, "imgSave"));

        EXPECT_FALSE(findOpenWindow<SettingsDialog>()) << row;
        EXPECT_EQ(iniValue("auto_login"), c.autoLogin ? QStringLiteral("1") : QStringLiteral("0")) << row;
        EXPECT_EQ(iniValue("close_on_exit"), c.closeOnExit ? QStringLiteral("1") : QStringLiteral("0"))
            << row;
        EXPECT_EQ(ConfigStore().isAutoRun(), c.autoRun) << row;
        EXPECT_EQ(QFile::exists(m_profile.autostartFile()), c.autoRun) << row;
    }
    EXPECT_EQ(MessageBox::takeShown().size(), 0);
}

TEST_F(SettingsDialogTest, SaveWithoutChangeStillWritesEveryValue)
{
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    click(child<ImageButton>(window, "imgSave"));
    EXPECT_EQ(iniValue("auto_login"), QStringLiteral("0"));
    EXPECT_EQ(iniValue("close_on_exit"), QStringLiteral("0"));
}

TEST_F(SettingsDialogTest, AutostartEntryOfAnotherProgram)
{
    TempProfile::writeFile(m_profile.autostartFile(),
                           "[Desktop Entry]\nType=Application\nName=Quorvane\nExec=/opt/other/quorvane\n");
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_FALSE(child<QCheckBox>(window, "cbAutoRun")->isChecked());
    // Saving without a change removes the other program's entry.
    click(child<ImageButton>(window, "imgSave"));
    EXPECT_FALSE(QFile::exists(m_profile.autostartFile()));

    TempProfile::writeFile(m_profile.autostartFile(),
                           "[Desktop Entry]\nType=Application\nName=Quorvane\nExec=/opt/other/quorvane\n");
    window = open();
    ASSERT_TRUE(window);
    child<QCheckBox>(window, "cbAutoRun")->setChecked(true);
    click(child<ImageButton>(window, "imgSave"));
    EXPECT_EQ(autostartExec(), executablePath());
}

TEST_F(SettingsDialogTest, RefusedAutostartIsReported)
{
    // A file where the autostart folder belongs: the entry cannot be written.
    TempProfile::writeFile(m_profile.configHome() + QStringLiteral("/autostart"), "not a folder");
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    child<QCheckBox>(window, "cbAutoRun")->setChecked(true);
    child<QCheckBox>(window, "cbCloseOnExit")->setChecked(true);
    click(child<ImageButton>(window, "imgSave"));

    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, QStringLiteral("系统设置"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    // The other values are saved all the same.
    EXPECT_EQ(iniValue("close_on_exit"), QStringLiteral("1"));
    EXPECT_FALSE(findOpenWindow<SettingsDialog>());
}

TEST_F(SettingsDialogTest, ClosedBySystemIsDestroyed)
{
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    QPointer<SettingsDialog> alive(window);
    // The keyboard's close command reaches the window as a close request.
    window->close();
    processEvents();
    EXPECT_FALSE(findOpenWindow<SettingsDialog>());
    EXPECT_FALSE(alive);
    EXPECT_EQ(iniValue("auto_login"), QStringLiteral("<none>"));
}

TEST_F(SettingsDialogTest, DraggedByItsBackground)
{
    SettingsDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_TRUE(qobject_cast<DragImage*>(window->childAt(200, 30)));
    EXPECT_EQ(window->childAt(420, 22), child<ImageButton>(window, "closeButton"));
}

} // namespace

} // namespace quorvane
