#include "notify/TimerThreadOwner.h"

#include "ui/main/MainForm.h"

TTimerThreadOwner mainWindowOwner(TfrmMain* owner)
{
    const QPointer<TfrmMain> main(owner);
    return {QPointer<QWidget>(owner),
            [main](const APIResponse& information) {
                if (main)
                    main->showInformation(information);
            },
            [main] {
                if (main)
                    main->exitApplication();
            }};
}
