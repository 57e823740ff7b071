// An update package of any content, unpacked the way the client stages it: every file below one
// folder (here a scratch "app" folder that already holds a file). After each run the scratch
// folder is checked: nothing outside that folder, no unpacked copy left behind, and a failed
// package changes nothing at all.
#include "tests/fuzz/FuzzTarget.h"

#include "update/CabinetReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quorvane {

namespace {

const QByteArray kOldContent = "old content";

class Scratch final
{
public:
    Scratch()
    {
        FUZZ_CHECK(m_root.isValid(), "a scratch folder can be made");
        // The temporary folder reaches the client as a canonical path.
        m_rootPath = QFileInfo(m_root.path()).canonicalFilePath();
        // The client puts its own executable into the temporary folder.
        qputenv("TMPDIR", QFile::encodeName(tmp()));
    }

    QString root() const { return m_rootPath; }
    QString app() const { return root() + QStringLiteral("/app"); }
    QString tmp() const { return root() + QStringLiteral("/tmp"); }
    QString outside() const { return root() + QStringLiteral("/outside"); }
    QString cabinet() const { return root() + QStringLiteral("/package.cab"); }
    QString existing() const { return app() + QStringLiteral("/existing.txt"); }

    void reset(const QByteArray& package)
    {
        for (const QString& dir : {app(), tmp(), outside()}) {
            QDir(dir).removeRecursively();
            QDir().mkpath(dir);
        }
        write(existing(), kOldContent);
        write(cabinet(), package);
    }

    // Every entry below the scratch root, relative to it; links are listed, not followed.
    QStringList tree() const
    {
        QStringList entries;
        QDirIterator it(root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            entries << QDir(root()).relativeFilePath(it.next());
        entries.sort();
        return entries;
    }

private:
    static void write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "a scratch file can be written");
        file.write(content);
    }

    QTemporaryDir m_root;
    QString m_rootPath;
};

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("\x01unreadable");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Scratch scratch;
    scratch.reset(Fuzz::bytes(data, size));

    QStringList targets;
    CabinetReader reader;
    const bool unpacked = reader.extract(scratch.cabinet(), [&](const QString& name) {
        const QString target = scratch.app() + QLatin1Char('/') + name;
        targets << target;
        return target;
    });

    const QStringList tree = scratch.tree();
    const QString appPrefix = QStringLiteral("app/");
    for (const QString& entry : tree) {
        FUZZ_CHECK(!entry.contains(QLatin1String(".quorvane-part-")), "no unpacked copy stays behind");
        const bool allowed = entry == QLatin1String("package.cab") || entry == QLatin1String("app") ||
                             entry.startsWith(appPrefix) || entry == QLatin1String("tmp") ||
                             entry == QLatin1String("outside");
        if (!allowed)
            std::fprintf(stderr, "written outside the application folder: %s\n", qPrintable(entry));
        FUZZ_CHECK(allowed, "only the application folder and the client's executable are written");
    }
    FUZZ_CHECK(QDir(scratch.outside())
                   .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
               "nothing is written outside the application folder");

    if (!unpacked) {
        FUZZ_CHECK(!reader.errorString().isEmpty(), "a failure says why");
        const QStringList untouched{QStringLiteral("app"), QStringLiteral("app/existing.txt"),
                                    QStringLiteral("outside"), QStringLiteral("package.cab"),
                                    QStringLiteral("tmp")};
        if (tree != untouched)
            std::fprintf(stderr, "after \"%s\": %s\n", qPrintable(reader.errorString()),
                         qPrintable(tree.join(QLatin1Char(' '))));
        FUZZ_CHECK(tree == untouched, "a package that fails changes nothing");
        FUZZ_CHECK(read(scratch.existing()) == kOldContent, "a package that fails changes nothing");
        return 0;
    }
    FUZZ_CHECK(reader.errorString().isEmpty(), "a success leaves no error");
    const QString appCanonical = QFileInfo(scratch.app()).canonicalFilePath() + QLatin1Char('/');
    for (const QString& target : targets) {
        const QFileInfo info(target);
        FUZZ_CHECK(info.isFile() && !info.isSymLink(), "every file of a package that unpacked is there");
        FUZZ_CHECK(info.canonicalFilePath().startsWith(appCanonical),
                   "every target lies in the application folder");
    }
    if (!targets.contains(scratch.existing()))
        FUZZ_CHECK(read(scratch.existing()) == kOldContent,
                   "files the package does not hold stay as they were");
    return 0;
}

} // namespace quorvane
