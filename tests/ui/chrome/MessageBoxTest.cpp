#include "ui/chrome/MessageBox.h"
#include "tests/support/TestApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

class MessageBoxHooks : public ::testing::Test
{
protected:
    void SetUp() override { testApp(); }
    void TearDown() override { MessageBox::setTestMode(false); }

    // Once a real modal box is up, lets `look` see it and presses `button`.
    void answerTheNextRealBox(QMessageBox::StandardButton button, std::function<void(QMessageBox&)> look)
    {
        QObject::connect(&m_answer, &QTimer::timeout, [this, button, look] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            m_answer.stop();
            look(*box);
            box->button(button)->click();
        });
        m_answer.start(10);
    }

private:
    QTimer m_answer;
};

TEST_F(MessageBoxHooks, QueuedAnswersAnswerTheNextBoxesInTurnAndAreRecorded)
{
    MessageBox::setNextAnswer(QMessageBox::No);
    MessageBox::setNextAnswer(QMessageBox::Yes);
    EXPECT_FALSE(MessageBox::question(nullptr, QStringLiteral("Quorvane"), QStringLiteral("升级吗？")));
    EXPECT_EQ(MessageBox::show(nullptr, QStringLiteral("设置"), QStringLiteral("保存？"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Question),
              QMessageBox::Yes);
    MessageBox::critical(nullptr, QStringLiteral("Quorvane"), QStringLiteral("连接失败"));

    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].title, QStringLiteral("Quorvane"));
    EXPECT_EQ(shown[0].text, QStringLiteral("升级吗？"));
    EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(shown[0].icon, QMessageBox::Question);
    EXPECT_EQ(shown[1].title, QStringLiteral("设置"));
    EXPECT_EQ(shown[2].text, QStringLiteral("连接失败"));
    EXPECT_EQ(shown[2].icon, QMessageBox::Critical);
    EXPECT_TRUE(MessageBox::shown().isEmpty());
}

TEST_F(MessageBoxHooks, AnUnansweredBoxInTestModeGetsItsDefaultButtonWithoutBlocking)
{
    MessageBox::setTestMode(true);
    EXPECT_EQ(MessageBox::show(nullptr, QStringLiteral("t"), QStringLiteral("x"),
                               QMessageBox::Yes | QMessageBox::No),
              QMessageBox::Yes);
    EXPECT_EQ(MessageBox::show(nullptr, QStringLiteral("t"), QStringLiteral("x"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, QMessageBox::No),
              QMessageBox::No);
    EXPECT_EQ(MessageBox::show(nullptr, QStringLiteral("t"), QStringLiteral("x")), QMessageBox::Ok);
    EXPECT_EQ(MessageBox::shown().size(), 3);
}

TEST_F(MessageBoxHooks, OutsideTestModeARealModalBoxIsShownAndAnswered)
{
    QWidget owner;
    owner.show();
    QString title;
    QString text;
    answerTheNextRealBox(QMessageBox::No, [&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
    });
    EXPECT_EQ(MessageBox::show(&owner, QStringLiteral("Quorvane"), QStringLiteral("退出吗？"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Question),
              QMessageBox::No);
    EXPECT_EQ(title, QStringLiteral("Quorvane"));
    EXPECT_EQ(text, QStringLiteral("退出吗？"));
    EXPECT_TRUE(MessageBox::shown().isEmpty());
}

// A server's message in a box is text: markup in it shows as it stands and is never rendered
// (no links to click, no pictures fetched).
TEST_F(MessageBoxHooks, TextFromOutsideIsShownAsPlainText)
{
    const QString fromServer =
        QStringLiteral("<b>密码</b> <a href=\"http://evil.example/\">点这里</a><img src=x>");
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    answerTheNextRealBox(QMessageBox::Ok, [&](QMessageBox& box) {
        format = box.textFormat();
        shown = box.text();
    });
    MessageBox::warning(nullptr, QStringLiteral("修改密码"), fromServer);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, fromServer);
}

} // namespace

} // namespace quorvane
