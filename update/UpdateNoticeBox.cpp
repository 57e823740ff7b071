#include "update/UpdateNoticeBox.h"

#include <QMessageBox>
#include <QPointer>
#include <QThread>

namespace quorvane {

void showUpdateNotice(const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvane"), message, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

UpdateNoticeReport updateNoticesOn(QObject* uiContext)
{
    return [context = QPointer<QObject>(uiContext)](const QString& message) {
        if (!context)
            return;
        // A blocking hand-over from the object's own thread would wait for itself.
        if (QThread::currentThread() == context->thread()) {
            showUpdateNotice(message);
            return;
        }
        QMetaObject::invokeMethod(
            context, [message] { showUpdateNotice(message); }, Qt::BlockingQueuedConnection);
    };
}

} // namespace quorvane
