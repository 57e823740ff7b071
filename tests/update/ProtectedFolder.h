#pragma once

#include <QString>

namespace quorvane {

// Makes a folder that this process cannot write to (read-only permissions, or for root, who
// writes through those, the immutable flag, which also protects a single file) until the object
// is destroyed.
class ProtectedFolder final
{
public:
    explicit ProtectedFolder(const QString& path);
    ~ProtectedFolder();
    ProtectedFolder(const ProtectedFolder&) = delete;
    ProtectedFolder& operator=(const ProtectedFolder&) = delete;

    // False when the path could not be protected (a file system without the immutable flag).
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_ok = false;
    bool m_immutable = false;
};

} // namespace quorvane
