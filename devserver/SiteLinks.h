#pragma once

#include <QString>

namespace quorvane {

// The addresses the service's pages link to: its own pages below the application URL, the
// microblog share page, and the client URLs through which a page drives the client.
struct SiteLinks
{
    QString appBase;   // e.g. "http://127.0.0.1:8642/quorvane2"
    QString shareHost; // the share host the pages use

    QString home() const;
    QString detail(int listingId) const;
    QString report(const QString& districtCode) const;
    QString opinion(const QString& userName, const QString& token) const;

    // The microblog share page for a page of ours. The share type decides the share window's size:
    // "3" shares with a picture, other types a link only.
    QString share(const QString& url, const QString& title, const QString& shareType) const;

    // "vemtraclient://close/": the client hides its main window to the tray.
    static QString clientClose();
    // "vemtraclient://open/?url=" and the encoded address: the client opens it in the default browser.
    static QString clientOpen(const QString& address);
    // "vemtraclient://show/?url=" and a path below the application URL, without a leading "/":
    // the client's main window goes there.
    static QString clientShow(const QString& path);
};

} // namespace quorvane
