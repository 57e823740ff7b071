#include "app/ErrorDisplay.h"

#include "platform/Failure.h"

#include <QMessageBox>
#include <exception>

void ShowErrorMessage(const QString& text)
{
    QMessageBox::critical(nullptr, QStringLiteral("Quorvane"), text);
}

void ShowCurrentException()
{
    try {
        throw;
    } catch (const TFailure& failure) {
        ShowErrorMessage(failure.Message());
    } catch (const std::exception& e) {
        ShowErrorMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorMessage(QString());
    }
}
