#include "app/ErrorDisplay.h"

#include "platform/Failure.h"
#include "server/RequestFailures.h"
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
    } catch (const RequestCancelled&) {
        // Its window has gone; nobody waits for an answer.
    } catch (const ServerUnreachable&) {
        // The technical cause is of no use to the user; what they can do is check the network.
        showErrorMessage(ServerUnreachable::userMessage());
    } catch (const Failure& failure) {
        showErrorMessage(failure.message());
    } catch (const std::exception& e) {
        showErrorMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        showErrorMessage(QString());
    }
}

} // namespace quorvane
