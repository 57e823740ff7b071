#include "notify/PollerOwner.h"

#include "ui/main/MainWindow.h"

PollerOwner mainWindowOwner(MainWindow* owner)
{
    const QPointer<MainWindow> main(owner);
    return {QPointer<QWidget>(owner),
            [main](const Reply& information) {
                if (main)
                    main->showInformation(information);
            },
            [main] {
                if (main)
                    main->exitApplication();
            }};
}
