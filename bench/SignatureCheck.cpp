// Checks a package's minisign signature with the client's own check and prints the time it took.
//
//   quorvane_bench_verify PACKAGE SIGNATURE-FILE PUBLIC-KEY-LINE

#include "update/PackageSignature.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

using namespace quorvane;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: quorvane_bench_verify PACKAGE SIGNATURE-FILE PUBLIC-KEY-LINE\n");
        return 2;
    }
    QFile signatureFile(args[2]);
    if (!signatureFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "quorvane_bench_verify: cannot read %s\n", qPrintable(args[2]));
        return 2;
    }
    const QByteArray signature = signatureFile.readAll();
    QElapsedTimer timer;
    timer.start();
    const SignatureVerdict verdict = verifyPackageSignature(args[1], signature, args[3]);
    const qint64 elapsed = timer.nsecsElapsed();
    if (!verdict.ok()) {
        std::fprintf(stderr, "quorvane_bench_verify: %s\n", qPrintable(verdict.error));
        return 1;
    }
    std::printf("verify_ms %.3f\n", elapsed / 1e6);
    return 0;
}
