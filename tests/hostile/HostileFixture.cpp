#include "tests/hostile/HostileFixture.h"

#include "config/SelvorConfig.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

HostileFixture::HostileFixture()
{
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + server.Url().toUtf8() +
                                                     "\r\ndown_url=" + DownloadRoot().toUtf8() +
                                                     "\r\nuname=alice\r\n");
    TempProfile::WriteFile(AppDir() + QStringLiteral("/quorvane_client.exe"), "the running client");
    TempProfile::WriteFile(AppDir() + QStringLiteral("/readme.txt"), "old readme");
    TSelvorConfig::ForgetCachedAddresses();
}

HostileFixture::~HostileFixture()
{
    *ending = true;
}

QMap<QString, QByteArray> HostileFixture::Snapshot() const
{
    QMap<QString, QByteArray> files;
    for (const QString& root : {profile.DataHome(), AppDir()}) {
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The debug log is where failures are meant to be written.
            if (path.endsWith(QStringLiteral("/quorvane/debug.txt")))
                continue;
            QFile file(path);
            files.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
        }
    }
    return files;
}

QStringList HostileFixture::PackageFilesLeft() const
{
    return QDir(profile.TempDir()).entryList({QStringLiteral("quorvane*")}, QDir::Files | QDir::Hidden) +
           QDir(profile.CacheHome() + QStringLiteral("/quorvane"))
               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

void HostileFixture::ServeEndless(const std::string& pattern, size_t chunkBytes, int pauseMs)
{
    server.Get(pattern,
               [ending = ending, chunkBytes, pauseMs](const httplib::Request&, httplib::Response& response) {
                   response.set_chunked_content_provider(
                       "text/xml", [ending, chunkBytes, pauseMs](size_t offset, httplib::DataSink& sink) {
                           if (*ending)
                               return false;
                           if (offset == 0)
                               sink.write("<responsed><msg>", 16);
                           if (pauseMs > 0)
                               Pause(pauseMs);
                           const std::string chunk(chunkBytes, 'x');
                           return sink.write(chunk.data(), chunk.size());
                       });
               });
}

void HostileFixture::ServeStallingHalfWay(const std::string& pattern, size_t announced, size_t sent)
{
    server.Get(pattern, [ending = ending, announced, sent](const httplib::Request&,
                                                           httplib::Response& response) {
        response.set_content_provider(announced, "application/octet-stream",
                                      [ending, sent](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0) {
                                              const std::string half =
                                                  Envelope("<code>0</code><msg>") + std::string(sent, 'x');
                                              return sink.write(half.data(), std::min(half.size(), sent));
                                          }
                                          while (!*ending && sink.is_writable())
                                              Pause(10);
                                          return false;
                                      });
    });
}

void HostileFixture::ServeHuge(const std::string& pattern, size_t size, char fill)
{
    server.Get(pattern, [ending = ending, size, fill](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(size, "application/octet-stream",
                                      [ending, size, fill](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (*ending)
                                              return false;
                                          const std::string chunk(std::min<size_t>(64 * 1024, size - offset),
                                                                  fill);
                                          return sink.write(chunk.data(), chunk.size());
                                      });
    });
}

void HostileFixture::ServeRedirect(const std::string& pattern, const std::string& location)
{
    server.Get(pattern, [location](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(location);
    });
}

std::string Envelope(const std::string& elements)
{
    return "<responsed>" + elements + "</responsed>";
}
