#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The About window: product name, client version and the legal notice, shown modally and
// destroyed after each showing. It sees every key before the focused control does: when the
// first characters typed since it opened are the access word, it shows the diagnostics text.
class TfrmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAbout)

public:
    explicit TfrmAbout(QWidget* owner = nullptr);
    ~TfrmAbout() override;

    // Every character typed in the window since it opened.
    const QString& KeyBuffer() const { return keyBuffer; }

    QLabel* ProgramIcon = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* labVersion = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormKeyPress(const QString& characters);

    QString keyBuffer;
};

// The menus' command: shows a new About window, owned by `owner`, modally and destroys it
// afterwards. While one is open, a second command only brings it to the front.
void ShowAboutWindow(QWidget* owner);
