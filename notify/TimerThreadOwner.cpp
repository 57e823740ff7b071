#include "notify/TimerThreadOwner.h"

#include "ui/main/MainForm.h"

TTimerThreadOwner MainWindowOwner(TfrmMain* owner)
{
    const QPointer<TfrmMain> main(owner);
    return {QPointer<QWidget>(owner),
            [main](const APIResponse& information) {
                if (main)
                    main->ShowInformation(information);
            },
            [main] {
                if (main)
                    main->ExitApplication();
            }};
}
