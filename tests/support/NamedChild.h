#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

namespace quorvane {

// A window's widget, menu item or timer, found by the object name the window gives it (its member
// name without "m_"). Only the window's own parts count: a child of another window that it owns
// (a dialog, the share window) never stands in for one of its own.
QObject* findOwnChild(const QObject& window, const QString& name, bool (*hasType)(QObject*));

// Thrown when the window has no such part, so that the test fails with the name instead of
// crashing on a null pointer.
class MissingChild : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

template <typename T> T* child(const QObject& window, const char* name)
{
    auto hasType = [](QObject* candidate) { return dynamic_cast<T*>(candidate) != nullptr; };
    return dynamic_cast<T*>(findOwnChild(window, QString::fromLatin1(name), hasType));
}

template <typename T> T* child(const QObject* window, const char* name)
{
    if (!window)
        throw MissingChild(std::string("no window to find \"") + name + "\" in");
    return child<T>(*window, name);
}

template <typename T, typename Window> T* child(const std::unique_ptr<Window>& window, const char* name)
{
    return child<T>(window.get(), name);
}

} // namespace quorvane
