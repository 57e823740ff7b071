#include "app/ErrorDisplay.h"

#include "platform/Failure.h"
#include "ui/chrome/MessageBox.h"

#include <exception>

void ShowErrorMessage(const QString& text)
{
    TMessageBox::Critical(nullptr, QStringLiteral("Quorvane"), text);
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
