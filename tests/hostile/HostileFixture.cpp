#include "tests/hostile/HostileFixture.h"

#include "config/ConfigStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <thread>

namespace quorvane {

namespace {

void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

HostileFixture::HostileFixture()
{
    TempProfile::writeFile(m_profile.configFile(), "[Common]\r\napp_root=" + m_server.url().toUtf8() +
                                                       "\r\ndown_url=" + downloadRoot().toUtf8() +
                                                       "\r\nuname=alice\r\n");
    TempProfile::writeFile(appDir() + QStringLiteral("/quorvane_client.exe"), "the running client");
    TempProfile::writeFile(appDir() + QStringLiteral("/readme.txt"), "old readme");
    ConfigStore::forgetCachedAddresses();
}

HostileFixture::~HostileFixture()
{
    *m_ending = true;
}

QMap<QString, QByteArray> HostileFixture::snapshot() const
{
    QMap<QString, QByteArray> files;
    for (const QString& root : {m_profile.dataHome(), appDir()}) {
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

QStringList HostileFixture::packageFilesLeft() const
{
    return QDir(m_profile.tempDir()).entryList({QStringLiteral("quorvane*")}, QDir::Files | QDir::Hidden) +
           QDir(m_profile.cacheHome() + QStringLiteral("/quorvane"))
               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

void HostileFixture::serveEndless(const std::string& pattern, size_t chunkBytes, int pauseMs)
{
    m_server.get(pattern, [ending = m_ending, chunkBytes, pauseMs](const httplib::Request&,
                                                                   httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/xml", [ending, chunkBytes, pauseMs](size_t offset, httplib::DataSink& sink) {
                if (*ending)
                    return false;
                if (offset == 0)
                    sink.write("<responsed><msg>", 16);
                if (pauseMs > 0)
                    pause(pauseMs);
                const std::string chunk(chunkBytes, 'x');
                return sink.write(chunk.data(), chunk.size());
            });
    });
}

void HostileFixture::serveStallingHalfWay(const std::string& pattern, size_t announced, size_t sent)
{
    m_server.get(pattern, [ending = m_ending, announced, sent](const httplib::Request&,
                                                               httplib::Response& response) {
        response.set_content_provider(announced, "application/octet-stream",
                                      [ending, sent](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0) {
                                              const std::string half =
                                                  envelope("<code>0</code><msg>") + std::string(sent, 'x');
                                              return sink.write(half.data(), std::min(half.size(), sent));
                                          }
                                          while (!*ending && sink.is_writable())
                                              pause(10);
                                          return false;
                                      });
    });
}

void HostileFixture::serveHuge(const std::string& pattern, size_t size, char fill)
{
    m_server.get(pattern,
                 [ending = m_ending, size, fill](const httplib::Request&, httplib::Response& response) {
                     response.set_content_provider(
                         size, "application/octet-stream",
                         [ending, size, fill](size_t offset, size_t, httplib::DataSink& sink) {
                             if (*ending)
                                 return false;
                             const std::string chunk(std::min<size_t>(64 * 1024, size - offset), fill);
                             return sink.write(chunk.data(), chunk.size());
                         });
                 });
}

void HostileFixture::serveRedirect(const std::string& pattern, const std::string& location)
{
    m_server.get(pattern, [location](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(location);
    });
}

std::string envelope(const std::string& elements)
{
    return "<responsed>" + elements + "</responsed>";
}

} // namespace quorvane
