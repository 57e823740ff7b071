#include "app/ErrorDisplay.h"

#include "platform/Failure.h"
#include "ui/chrome/MessageBox.h"

#include <exception>

namespace quorvane {

void showErrorMessage(const QString& text)
{
    MessageBox::critical(nullptr, QStringLiteral("Quorvane"), text);
}

void showCurrentException()
{
    try {
        throw;
    } catch (const Failure& failure) {
        showErrorMessage(failure.message());
    } catch (const std::exception& e) {
        showErrorMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        showErrorMessage(QString());
    }
}

} // namespace quorvane
