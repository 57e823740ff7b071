#include "ui/dialogs/SettingsDialog.h"

#include "config/ConfigStore.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowPlacement.h"
#include "ui/dialogs/DialogLook.h"

#include <QCheckBox>
#include <QCloseEvent>

namespace quorvane {

namespace {

const QString kCaption = QStringLiteral("系统设置");
const QColor kBackground(216, 216, 216);
// The body of the background picture, behind the check boxes.
const QColor kCheckBoxBackground(247, 247, 247);

QCheckBox* newCheckBox(QWidget* parent, const char* name, const QString& text, const QRect& place)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    fillBackground(box, kCheckBoxBackground);
    placeCentred(box, place);
    return box;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(applicationIcon());
    setFont(songFont(16));
    fillBackground(this, kBackground);
    setFixedSize(453, 251);

    m_background = new DragImage(this);
    m_background->setObjectName(QStringLiteral("background"));
    m_background->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::SettingBackground)));

    m_cbAutoRun = newCheckBox(this, "cbAutoRun", QStringLiteral(" 开机时自动启动"), {149, 75, 153, 17});
    m_cbAutoLogin = newCheckBox(this, "cbAutoLogin", QStringLiteral(" 启动时自动登录"), {149, 105, 185, 17});
    m_cbCloseOnExit =
        newCheckBox(this, "cbCloseOnExit", QStringLiteral(" 点击关闭自动退出"), {149, 136, 161, 17});
    // The keyboard visits the boxes in this order, not in their order on screen.
    setTabOrder(m_cbAutoRun, m_cbCloseOnExit);
    setTabOrder(m_cbCloseOnExit, m_cbAutoLogin);

    m_imgSave = new ImageButton(QStringLiteral("SAVE"), ImageButton::States::Two, this);
    m_imgSave->setObjectName(QStringLiteral("imgSave"));
    m_imgSave->move(129, 180);
    m_imgCancel = new ImageButton(QStringLiteral("CANCEL"), ImageButton::States::Two, this);
    m_imgCancel->setObjectName(QStringLiteral("imgCancel"));
    m_imgCancel->move(237, 180);
    m_closeButton = new ImageButton(QStringLiteral("CLOSEF"), ImageButton::States::Two, this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->move(415, 18);
    // Their pictures carry their text.
    m_imgSave->setAccessibleName(QStringLiteral("保存"));
    m_imgCancel->setAccessibleName(QStringLiteral("取消"));
    m_closeButton->setAccessibleName(QStringLiteral("关闭"));

    connect(m_imgSave, &ImageButton::clicked, this, &SettingsDialog::saveSettings);
    connect(m_imgCancel, &ImageButton::clicked, this, &SettingsDialog::closeSettings);
    connect(m_closeButton, &ImageButton::clicked, this, &SettingsDialog::closeSettings);

    loadSettings();
    m_cbAutoRun->setFocus();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::loadSettings()
{
    const ConfigStore config;
    m_cbAutoLogin->setChecked(config.getAutoLogin());
    m_cbAutoRun->setChecked(config.isAutoRun());
    m_cbCloseOnExit->setChecked(config.getCloseOnExit());
}

void SettingsDialog::saveSettings()
{
    const ConfigStore config;
    // All three are written every time, changed or not.
    config.setAutoLogin(m_cbAutoLogin->isChecked());
    const bool autoRunWritten = config.setAutoRun(m_cbAutoRun->isChecked());
    config.setCloseOnExit(m_cbCloseOnExit->isChecked());
    if (!autoRunWritten)
        MessageBox::warning(this, kCaption, QStringLiteral("无法保存“开机时自动启动”的设置。"));
    closeSettings();
}

void SettingsDialog::closeSettings()
{
    close();
}

void SettingsDialog::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    markClosedForGood(this);
    // Destroyed once the close has completed (WA_DeleteOnClose); the next opening reads the
    // stored values anew.
}

void showSettingWindow(QWidget* owner)
{
    if (auto* open = findOpenWindow<SettingsDialog>()) {
        bringToFront(open);
        return;
    }
    auto* dialog = new SettingsDialog(owner);
    centreOnScreen(dialog);
    bringToFront(dialog);
}

} // namespace quorvane
