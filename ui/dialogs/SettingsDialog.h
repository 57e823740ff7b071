#pragma once

#include <QWidget>

class QCheckBox;

namespace quorvane {

class DragImage;
class ImageButton;

// The settings window: start with the system, sign in automatically, and let the main window's
// close button end the client. It reads the three values when it opens and writes all three
// back on save. At most one exists; closing it in any way destroys it.
class SettingsDialog final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsDialog)

public:
    explicit SettingsDialog(QWidget* owner = nullptr);
    ~SettingsDialog() override;

    // Writes the three values and closes the window.
    void saveSettings();
    // Closes the window without saving.
    void closeSettings();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DragImage* m_background = nullptr;
    QCheckBox* m_cbAutoRun = nullptr;
    QCheckBox* m_cbAutoLogin = nullptr;
    QCheckBox* m_cbCloseOnExit = nullptr;
    ImageButton* m_imgSave = nullptr;
    ImageButton* m_imgCancel = nullptr;
    ImageButton* m_closeButton = nullptr;

    void loadSettings();
};

// The menus' command: brings the open settings window to the front, or else opens a new one,
// owned by `owner`, without making it modal.
void showSettingWindow(QWidget* owner);

} // namespace quorvane
