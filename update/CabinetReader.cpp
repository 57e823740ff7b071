#include "update/CabinetReader.h"

#include "platform/AnsiCodePage.h"
#include "platform/DiskSpace.h"
#include "platform/RawFiles.h"
#include "update/FileWriteQueue.h"
#include "update/GuardedCabinetSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>
#include <memory>
#include <mspack.h>
#include <set>
#include <vector>

namespace quorvane {

namespace {

struct DecompressorDeleter
{
    void operator()(mscab_decompressor* d) const { mspack_destroy_cab_decompressor(d); }
};
using Decompressor = std::unique_ptr<mscab_decompressor, DecompressorDeleter>;

// One file of the archive on its way to its target.
struct Step
{
    mscabd_file* file = nullptr;
    QString name;
    QString target;
    QString staging; // the unpacked copy beside the target, until it replaces the target
    bool committed = false;
};

// Everything an extraction has put on disk so far, taken back unless the extraction succeeds.
struct Leftovers
{
    std::vector<Step>* steps = nullptr;
    QStringList createdFolders; // outermost first
    bool keep = false;

    ~Leftovers()
    {
        if (keep)
            return;
        for (const Step& step : *steps) {
            if (!step.committed && !step.staging.isEmpty())
                QFile::remove(step.staging);
        }
        for (auto it = createdFolders.crbegin(); it != createdFolders.crend(); ++it)
            QDir().rmdir(*it); // only succeeds while empty
    }
};

QString errorText(int code)
{
    switch (code) {
    case MSPACK_ERR_OPEN:
        return QStringLiteral("a file could not be opened");
    case MSPACK_ERR_READ:
        return QStringLiteral("the archive is truncated or unreadable");
    case MSPACK_ERR_WRITE:
        return QStringLiteral("a file could not be written");
    case MSPACK_ERR_SEEK:
        return QStringLiteral("seek failed");
    case MSPACK_ERR_NOMEMORY:
        return QStringLiteral("out of memory");
    case MSPACK_ERR_SIGNATURE:
        return QStringLiteral("not a cabinet file");
    case MSPACK_ERR_DATAFORMAT:
        return QStringLiteral("the archive is damaged");
    case MSPACK_ERR_CHECKSUM:
        return QStringLiteral("a data block has a wrong checksum");
    case MSPACK_ERR_DECRUNCH:
        return QStringLiteral("the compressed data is damaged");
    default:
        return QStringLiteral("error %1").arg(code);
    }
}

QString decodeName(const mscabd_file* file)
{
    const QByteArray raw(file->filename);
    if (file->attribs & MSCAB_ATTRIB_UTF_NAME)
        return QString::fromUtf8(raw);
    return fromAnsi(raw);
}

// The folders from the outermost missing one down to `folder` that do not exist yet.
QStringList missingFolders(const QString& folder)
{
    QStringList missing;
    QString current = QDir::cleanPath(folder);
    while (!QFileInfo::exists(current)) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current)
            break;
        current = parent;
    }
    return missing;
}

// Creates an empty, uniquely named file beside `target`; executables get the execute bits the
// user's umask allows. Not named after the target, whose name may already be as long as a name
// can be.
UniqueFile createStagingFile(const QString& target, bool executable)
{
    return createUniqueFile(QFileInfo(target).absolutePath(), QStringLiteral(".quorvane-part-"), executable);
}

// Every unpacked file reaches the disk before any target is replaced: one flush of each file
// system the files were written to, not one per file (a package of many small files waits for
// the disk once).
bool syncFileSystemsOf(const std::vector<Step>& steps)
{
    std::set<QString> folders;
    for (const Step& step : steps)
        folders.insert(QFileInfo(step.staging).absolutePath());
    return syncFileSystems(QStringList(folders.begin(), folders.end()));
}

// `folder` when it exists, or else the nearest of its parents that does.
QString existingFolderOf(QString folder)
{
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            break;
        folder = parent;
    }
    return folder;
}

// Why the judged files may not be written, or empty: two files with one target, or a target
// that another target needs as its folder (a package holding "x" and "x\y").
QString checkTargets(const std::vector<Step>& steps)
{
    std::set<QString> targets;
    for (const Step& step : steps) {
        if (!targets.insert(QDir::cleanPath(step.target)).second)
            return QStringLiteral("\"%1\" is in the archive twice").arg(step.name);
    }
    for (const Step& step : steps) {
        QString folder = QFileInfo(QDir::cleanPath(step.target)).absolutePath();
        for (;;) {
            if (targets.count(folder))
                return QStringLiteral("\"%1\" is both a file and the folder of \"%2\"")
                    .arg(folder, step.name);
            const QString parent = QFileInfo(folder).absolutePath();
            if (parent == folder)
                break;
            folder = parent;
        }
    }
    return {};
}

} // namespace

QString CabinetReader::safeRelativeName(const QString& archiveName)
{
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:"));
    if (archiveName.isEmpty() || driveLetter.match(archiveName).hasMatch())
        return {};
    for (const QChar c : archiveName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return {};
    }
    QString name = archiveName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A leading separator makes the name absolute; the other empty parts come from doubled or
    // trailing separators.
    for (const QString& part : name.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
    }
    return name;
}

bool CabinetReader::fail(const QString& message)
{
    m_error = message;
    return false;
}

bool CabinetReader::extract(const QString& cabinetPath, const TargetChooser& chooseTarget)
{
    m_error.clear();
    int selfTest = MSPACK_ERR_OK;
    MSPACK_SYS_SELFTEST(selfTest);
    if (selfTest != MSPACK_ERR_OK)
        return fail(QStringLiteral("libmspack does not match this program: %1").arg(errorText(selfTest)));

    if (aborted())
        return fail(QStringLiteral("aborted"));
    GuardedCabinetSystem system;
    system.abort = m_abort;
    system.progress = m_progress;
    Decompressor decompressor(mspack_create_cab_decompressor(system.system()));
    if (!decompressor)
        return fail(errorText(MSPACK_ERR_NOMEMORY));
    mscab_decompressor* cabd = decompressor.get();
    // Strict reading: a damaged block or a file that runs past its data fails the extraction
    // instead of being salvaged or patched up.
    if (cabd->set_param(cabd, MSCABD_PARAM_SALVAGE, 0) != MSPACK_ERR_OK ||
        cabd->set_param(cabd, MSCABD_PARAM_FIXMSZIP, 0) != MSPACK_ERR_OK)
        return fail(QStringLiteral("libmspack refuses its strict mode"));

    // libmspack keeps this pointer until the cabinet is closed. The file is opened as one cabinet,
    // never searched for cabinets embedded in other data.
    const QByteArray cabinetFile = QFile::encodeName(cabinetPath);
    mscabd_cabinet* cabinet = cabd->open(cabd, cabinetFile.constData());
    if (!cabinet) {
        // An abort makes every read fail; that is no damage in the archive.
        if (aborted())
            return fail(QStringLiteral("aborted"));
        return fail(QStringLiteral("%1: %2").arg(cabinetPath, errorText(cabd->last_error(cabd))));
    }
    const std::unique_ptr<mscabd_cabinet, std::function<void(mscabd_cabinet*)>> cabinetCloser(
        cabinet, [cabd](mscabd_cabinet* c) { cabd->close(cabd, c); });
    if (cabinet->flags & (MSCAB_HDR_PREVCAB | MSCAB_HDR_NEXTCAB))
        return fail(QStringLiteral("%1: the archive continues in another cabinet").arg(cabinetPath));

    // Every name and target is judged, and the limits applied, before anything is written.
    int entries = 0;
    qint64 totalBytes = 0;
    for (const mscabd_file* file = cabinet->files; file; file = file->next) {
        ++entries;
        totalBytes += file->length;
    }
    if (entries > m_limits.maxEntries)
        return fail(
            QStringLiteral("the archive holds %1 files, more than %2").arg(entries).arg(m_limits.maxEntries));
    if (totalBytes > m_limits.maxTotalBytes)
        return fail(QStringLiteral("the archive unpacks to %1 bytes, more than %2")
                        .arg(totalBytes)
                        .arg(m_limits.maxTotalBytes));
    std::vector<Step> steps;
    for (mscabd_file* file = cabinet->files; file; file = file->next) {
        const QString archiveName = decodeName(file);
        Step step;
        step.file = file;
        step.name = safeRelativeName(archiveName);
        if (step.name.isEmpty())
            return fail(QStringLiteral("unsafe file name in the archive: \"%1\"").arg(archiveName));
        step.target = chooseTarget(step.name);
        if (step.target.isEmpty())
            return fail(QStringLiteral("no target for \"%1\"").arg(step.name));
        if (!QDir::isAbsolutePath(step.target))
            return fail(QStringLiteral("target of \"%1\" is not absolute: %2").arg(step.name, step.target));
        if (toAnsi(step.target).size() > kMaxTargetPathBytes)
            return fail(QStringLiteral("target path too long: %1").arg(step.target));
        steps.push_back(step);
    }
    const QString targetError = checkTargets(steps);
    if (!targetError.isEmpty())
        return fail(targetError);
    std::set<QString> folders;
    for (const Step& step : steps)
        folders.insert(QFileInfo(step.target).absolutePath());
    // Each target folder once: most files of a package share theirs with others.
    std::set<QString> existingFolders;
    for (const QString& folder : folders)
        existingFolders.insert(existingFolderOf(folder));
    for (const QString& folder : existingFolders) {
        const std::optional<qint64> free = m_freeSpace ? m_freeSpace(folder) : freeDiskBytes(folder);
        if (free && *free < totalBytes)
            return fail(QStringLiteral("not enough free space in %1: %2 bytes needed, %3 free")
                            .arg(folder)
                            .arg(totalBytes)
                            .arg(*free));
    }
    // Writes stop here whatever a damaged archive makes the library believe.
    system.budget = totalBytes;

    // Unpack each file beside its target, in archive order.
    Leftovers leftovers{&steps, {}, false};
    // Files are written on a thread of their own while the next ones are unpacked. Made after
    // the leftovers, so that its files are closed before any of them is taken back.
    FileWriteQueue writeQueue;
    system.writeQueue = &writeQueue;
    std::set<QString> readyFolders;
    for (Step& step : steps) {
        if (aborted())
            return fail(QStringLiteral("aborted"));
        // Found now rather than when the files are put in place, where earlier targets
        // would already be replaced.
        if (QFileInfo(step.target).isDir())
            return fail(QStringLiteral("a folder is in the way of %1").arg(step.target));
        const QString folder = QFileInfo(step.target).absolutePath();
        // Each folder once: most files of a package share their folder with others.
        if (readyFolders.insert(folder).second) {
            // Taken back even when only the outer ones could be made (a part of the name too
            // long for the file system fails half way).
            leftovers.createdFolders += missingFolders(folder);
            if (!QDir().mkpath(folder))
                return fail(QStringLiteral("cannot create folder %1").arg(folder));
        }
        const UniqueFile staging = createStagingFile(step.target, step.file->attribs & MSCAB_ATTRIB_EXEC);
        step.staging = staging.path;
        if (step.staging.isEmpty())
            return fail(QStringLiteral("cannot write in %1").arg(folder));
        // libmspack writes into the file just made rather than opening its name again.
        system.preparedPath = QFile::encodeName(step.staging);
        system.preparedFd = staging.fd;
        system.fileBudget = step.file->length;
        const int result = cabd->extract(cabd, step.file, system.preparedPath.constData());
        if (system.preparedFd >= 0) { // not taken: the library failed before it opened the file
            closeRawFile(system.preparedFd);
            system.preparedFd = -1;
        }
        if (aborted())
            return fail(QStringLiteral("aborted"));
        if (system.overBudget)
            return fail(QStringLiteral("\"%1\" unpacks to more than the archive declares").arg(step.name));
        if (result != MSPACK_ERR_OK)
            return fail(QStringLiteral("\"%1\": %2").arg(step.name, errorText(result)));
        // A file that is replaced keeps its permissions.
        if (!copyPermissions(step.target, step.staging))
            return fail(QStringLiteral("cannot write %1").arg(step.staging));
    }
    if (!writeQueue.finish())
        return fail(QStringLiteral("cannot write the unpacked files: %1").arg(writeQueue.errorString()));
    // The last moment an abort can take everything back.
    if (aborted())
        return fail(QStringLiteral("aborted"));
    if (!syncFileSystemsOf(steps))
        return fail(
            QStringLiteral("the unpacked files could not be written to the disk: %1").arg(lastSystemError()));

    // Put every file in place; a rename replaces a target in one step.
    for (Step& step : steps) {
        if (!renameFile(step.staging, step.target))
            return fail(QStringLiteral("cannot replace %1: %2").arg(step.target, lastSystemError()));
        step.committed = true;
    }
    leftovers.keep = true;
    return true;
}

} // namespace quorvane
