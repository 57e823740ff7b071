#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quorvane {

// The About window: product name, client version and the legal notice, shown modally and
// destroyed after each showing. It sees every key before the focused control does: when the
// first characters typed since it opened are the access word, it shows the diagnostics text.
class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    explicit AboutDialog(QWidget* owner = nullptr);
    ~AboutDialog() override;

    // Every character typed in the window since it opened.
    const QString& keyBuffer() const { return m_keyBuffer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_labIcon = nullptr;
    QLabel* m_labProduct = nullptr;
    QLabel* m_labVersion = nullptr;
    QLabel* m_labNotice1 = nullptr;
    QLabel* m_labNotice2 = nullptr;
    QPlainTextEdit* m_memoNotice = nullptr;
    QPushButton* m_btnOk = nullptr;

    void showVersion();
    void onKeyPress(const QString& characters);

    QString m_keyBuffer;
};

// The menus' command: shows a new About window, owned by `owner`, modally and destroys it
// afterwards. While one is open, a second command only brings it to the front.
void showAboutWindow(QWidget* owner);

} // namespace quorvane
