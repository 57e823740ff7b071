// Runs a fuzz target over its committed seeds and findings, so that the normal build keeps every
// finding fixed without clang or libFuzzer.
#include "tests/fuzz/FuzzTarget.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace quorvane {

namespace {

TEST(FuzzReplay, SeedsAndFindings)
{
    int inputs = 0;
    for (const char* folder : {QUORVANE_FUZZ_CORPUS, QUORVANE_FUZZ_FINDINGS}) {
        const QDir dir(QString::fromLocal8Bit(folder));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            const QByteArray input = file.readAll();
            SCOPED_TRACE(file.fileName().toStdString());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                                   static_cast<size_t>(input.size()));
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0);
}

} // namespace

} // namespace quorvane
