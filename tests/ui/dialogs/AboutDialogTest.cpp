#include "ui/dialogs/AboutDialog.h"

#include "server/ClientVersion.h"
#include "tests/support/NamedChild.h"
#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/MessageBox.h"
#include "ui/dialogs/AboutText.h"
#include "update/TrustedKey.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace quorvane {

namespace {

class AboutDialogTest : public DialogsFixture
{
protected:
    AboutDialogTest()
    {
        writeRawIni("app_root=http://prices.example.com:8080\r\ncontext_root=/svc\r\n"
                    "down_url=http://down.example.com/files\r\n");
    }

    std::unique_ptr<AboutDialog> open()
    {
        auto about = std::make_unique<AboutDialog>();
        EXPECT_TRUE(showAndActivate(*about));
        return about;
    }

    static void type(AboutDialog& about, const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClick(about.windowHandle(), c.toLatin1());
    }

    static QString expected()
    {
        return QStringLiteral("appUrl:http://prices.example.com:8080/svc\r\n"
                              "downUrl:http://down.example.com/files\r\n"
                              "休眠时间:120000\r\n"
                              "下载间隔倍数:10\r\n") +
               (trustedUpdateKey().isEmpty() ? QStringLiteral("自动升级:未内置升级密钥，不会自动升级\r\n")
                                             : QString());
    }
};

TEST_F(AboutDialogTest, LooksAsLaidOut)
{
    auto about = open();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于Quorvane"));
    EXPECT_EQ(about->size(), QSize(460, 310));
    EXPECT_EQ(child<QLabel>(about, "labProduct")->text(), QStringLiteral("Quorvane"));
    EXPECT_EQ(child<QLabel>(about, "labVersion")->text(), CLIENT_VERSION);
    EXPECT_GE(child<QLabel>(about, "labVersion")->x(), 72);
    EXPECT_GT(child<QLabel>(about, "labVersion")->x(), child<QLabel>(about, "labProduct")->geometry().right())
        << "the version keeps clear of the name";
    EXPECT_FALSE(child<QLabel>(about, "labNotice1")->text().isEmpty());
    EXPECT_FALSE(child<QLabel>(about, "labNotice2")->text().isEmpty());
    EXPECT_FALSE(child<QPlainTextEdit>(about, "memoNotice")->toPlainText().isEmpty());
    EXPECT_TRUE(child<QPlainTextEdit>(about, "memoNotice")->isReadOnly());
    EXPECT_EQ(child<QPlainTextEdit>(about, "memoNotice")->geometry(), QRect(16, 160, 436, 97));
    EXPECT_EQ(child<QLabel>(about, "labIcon")->geometry(), QRect(-1, 0, 1290, 49));
    EXPECT_EQ(child<QPushButton>(about, "btnOk")->text(), QStringLiteral("确定"));
    EXPECT_TRUE(child<QPushButton>(about, "btnOk")->isDefault());
    EXPECT_EQ(child<QPushButton>(about, "btnOk")->x(), 377);
    EXPECT_EQ(child<QPushButton>(about, "btnOk")->width(), 75);
    EXPECT_TRUE(about->keyBuffer().isEmpty());
}

TEST_F(AboutDialogTest, AccessWordShowsTheDiagnostics)
{
    const struct
    {
        const char* typed;
        int boxes;
    } cases[] = {
        {"MerlDox", 1}, {"xMerlDox", 0}, {"-MerlDox", 0}, {"merldox", 0},
        {"MERLDOX", 0}, {"MerlDo", 0},   {"MerlDoxy", 1}, {"MerlDoxMerlDox", 1},
    };
    for (const auto& c : cases) {
        auto about = open();
        type(*about, QString::fromLatin1(c.typed));
        EXPECT_EQ(about->keyBuffer(), QString::fromLatin1(c.typed));
        const QList<ShownMessage> shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), c.boxes) << c.typed;
        if (c.boxes) {
            EXPECT_EQ(shown[0].title, QStringLiteral("Quorvane"));
            EXPECT_EQ(shown[0].text, expected());
            EXPECT_EQ(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
    }
}

TEST_F(AboutDialogTest, EachOpeningStartsAfresh)
{
    {
        auto about = open();
        type(*about, QStringLiteral("x"));
    }
    auto about = open();
    type(*about, kAccessWord);
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
}

TEST_F(AboutDialogTest, KeysGoOnToTheFocusedControl)
{
    auto about = open();
    ASSERT_EQ(QApplication::focusWidget(), child<QPushButton>(about, "btnOk"));
    // Counted, and still delivered: the space presses the focused OK button.
    type(*about, kAccessWord + QLatin1Char(' '));
    EXPECT_EQ(about->keyBuffer(), kAccessWord + QLatin1Char(' '));
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(about->result(), QDialog::Accepted);
}

TEST_F(AboutDialogTest, NumbersAreFixedWhateverTheConfiguration)
{
    writeRawIni("app_root=http://a\r\ncontext_root=\r\ndown_url=http://b\r\nsleep=5\r\ninterval=3\r\n");
    EXPECT_EQ(
        diagnosticsText(),
        QStringLiteral("appUrl:http://a\r\ndownUrl:http://b\r\n休眠时间:120000\r\n下载间隔倍数:10\r\n"));
}

TEST_F(AboutDialogTest, ABuildWithoutAnUpdateKeySaysSo)
{
    writeRawIni("app_root=http://a\r\ncontext_root=\r\ndown_url=http://b\r\n");
    EXPECT_EQ(diagnosticsText(QString()),
              QStringLiteral("appUrl:http://a\r\ndownUrl:http://b\r\n休眠时间:120000\r\n下载间隔倍数:10\r\n"
                             "自动升级:未内置升级密钥，不会自动升级\r\n"));
    EXPECT_FALSE(diagnosticsText(QStringLiteral("RWQ...")).contains(QStringLiteral("自动升级")));
}

TEST_F(AboutDialogTest, APackagedBuildLeavesUpdatesToThePackageManager)
{
    writeRawIni("app_root=http://a\r\ncontext_root=\r\ndown_url=http://b\r\n");
    const QString expected =
        QStringLiteral("appUrl:http://a\r\ndownUrl:http://b\r\n休眠时间:120000\r\n下载间隔倍数:10\r\n"
                       "自动升级:由系统的软件包管理器更新\r\n");
    EXPECT_EQ(diagnosticsText(QStringLiteral("RWQ..."), true), expected);
    EXPECT_EQ(diagnosticsText(QString(), true), expected);
}

TEST_F(AboutDialogTest, EnterAndEscapeEndWithOk)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        auto about = open();
        QTest::keyClick(about->windowHandle(), key);
        EXPECT_FALSE(about->isVisible()) << key;
        EXPECT_EQ(about->result(), QDialog::Accepted) << key;
    }
    EXPECT_EQ(MessageBox::takeShown().size(), 0);
}

TEST_F(AboutDialogTest, ShownModallyAndDestroyedAfterwards)
{
    QPointer<AboutDialog> seen;
    bool ran = false;
    bool secondCommandStacked = true;
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        if (!seen || !QTest::qWaitForWindowActive(seen.data(), 10000)) {
            ADD_FAILURE() << "no active About window";
            if (QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
        // A second menu command while it is open only brings it to the front.
        showAboutWindow(nullptr);
        secondCommandStacked = QApplication::activeModalWidget() != seen;
        type(*seen, kAccessWord);
        child<QPushButton>(seen, "btnOk")->click();
        ran = true;
    });
    showAboutWindow(nullptr);
    processEvents();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(secondCommandStacked);
    EXPECT_FALSE(seen) << "destroyed when the modal loop ends";
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
}

} // namespace

} // namespace quorvane
