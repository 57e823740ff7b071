// Unpacks a cabinet with the client's own reader into a folder, keeping the archive's paths,
// and prints the time the extraction took.
//
//   quorvane_bench_cabextract CABINET FOLDER

#include "update/CabinetReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

using namespace quorvane;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: quorvane_bench_cabextract CABINET FOLDER\n");
        return 2;
    }
    const QDir folder(QDir(args[2]).absolutePath());
    QElapsedTimer timer;
    timer.start();
    CabinetReader reader;
    // The benchmark's cabinet holds more small files than an update package may; the speed of
    // the reader is measured here, not its limits.
    reader.setLimits({1000000, qint64(64) * 1024 * 1024 * 1024});
    const bool ok =
        reader.extract(args[1], [&folder](const QString& name) { return folder.absoluteFilePath(name); });
    const qint64 elapsed = timer.nsecsElapsed();
    if (!ok) {
        std::fprintf(stderr, "quorvane_bench_cabextract: %s\n", qPrintable(reader.errorString()));
        return 1;
    }
    std::printf("extract_ms %.3f\n", elapsed / 1e6);
    return 0;
}
