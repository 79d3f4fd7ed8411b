#include "safesave.h"

#include "catalogue/errors.h"
#include "catalogue/pricefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plimbo::prices {

namespace {

QString reason(int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return QStringLiteral("the disk is full");
    if (error == EROFS)
        return QStringLiteral("the disk is read-only");
    if (error == EACCES || error == EPERM)
        return QStringLiteral("the folder may not be written to");
    if (error == EIO || error == ENODEV || error == ENXIO)
        return QStringLiteral("the disk could not be written to; was it taken out?");
    return QString::fromLocal8Bit(std::strerror(error));
}

// Where writing failed: the step and the system's error, or what the new
// file's check found.
struct Failure {
    const char* step;
    int error;
    QString found = {};
};

// Writes all of `bytes` to a new file in the folder of `path`, with the
// mode, group and owner of `like` when there is one, flushes it to the disk,
// lets `check` look at it, and renames it over `path`. The folder is flushed
// too, so that the new name survives a pulled stick. Nothing is left behind
// on failure.
std::optional<Failure> replaceFile(const QString& path, const QByteArray& bytes, const struct stat* like,
                                   const NewFileCheck& check)
{
    const QFileInfo info(path);
    QByteArray temp = QFile::encodeName(info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".XXXXXX")));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return Failure{"creating a file", errno};
    auto drop = [&](const char* step, int error) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        return Failure{step, error};
    };
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return drop("writing", n == 0 ? ENOSPC : errno);
        done += n;
    }
    // A list on a shared folder stays the group's to write. Whoever may not
    // give a file away keeps at least its group when a member of it;
    // otherwise the folder's own rules give the group.
    if (like && ::fchown(fd, like->st_uid, like->st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), like->st_gid);
    if (::fchmod(fd, like ? like->st_mode & 07777 : 0644) != 0 || ::fsync(fd) != 0)
        return drop("flushing to the disk", errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return Failure{"flushing to the disk", error};
    }
    if (check) {
        if (auto found = check(QFile::decodeName(temp))) {
            ::unlink(temp.constData());
            return Failure{"reading back", 0, *found};
        }
    }
    if (::rename(temp.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return Failure{"renaming", error};
    }
    const int dir = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

QString notSaved(const QString& path, const QString& why)
{
    return QStringLiteral("%1 could not be saved: %2 The file on the disk is as it was.")
        .arg(QFileInfo(path).absoluteFilePath(), why);
}

QString notSaved(const QString& path, const Failure& f, const QString& while_)
{
    if (!f.found.isEmpty())
        return notSaved(path, f.found);
    return notSaved(path, QStringLiteral("%1 (%2%3: %4).")
                              .arg(reason(f.error), QLatin1String(f.step), while_,
                                   QString::fromLocal8Bit(std::strerror(f.error))));
}

// The whole of the file at `path`, or why it could not be read whole.
std::optional<QString> readWhole(const QString& path, QByteArray& bytes)
{
    QFile file;
    if (auto why = openPlainFile(path, file))
        return why;
    const qint64 size = file.size();
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (bytes.size() != size)
        return QStringLiteral("it changed while it was read");
    return std::nullopt;
}

QString shownField(const PriceRecord& r, int field)
{
    if (field == 0 || field == 1)
        return field == 0 ? r.category : r.brand;
    return field % 2 == 0 ? r.type[(field - 2) / 2] : QString::number(r.price[(field - 3) / 2].value());
}

} // namespace

QString savedFileFor(const QString& path)
{
    QString file = QFileInfo(path).absoluteFilePath();
    // A loop of links ends here, and the save then fails at the file itself.
    for (int hops = 0; hops < 40 && QFileInfo(file).isSymLink(); ++hops)
        file = QFileInfo(file).symLinkTarget();
    return file;
}

QString backupPathFor(const QString& path)
{
    const QFileInfo info(path);
    // A stick's FAT folder does not tell "Prices.BAK" from "Prices.bak".
    if (info.suffix().compare(QLatin1String("bak"), Qt::CaseInsensitive) == 0)
        return info.absoluteFilePath() + QStringLiteral(".bak");
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".bak"));
}

std::optional<QString> writeSafely(const QString& path, const QByteArray& bytes, Backup backup,
                                   const NewFileCheck& check)
{
    const QString file = savedFileFor(path);
    // Only a file is replaced: a device, a pipe or a folder of that name stays as it is.
    struct stat status {};
    const bool exists = ::stat(QFile::encodeName(file).constData(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode))
        return QStringLiteral("%1 was not written: it is not a file. Choose a file's name.")
            .arg(QFileInfo(path).absoluteFilePath());
    if (backup == Backup::KeepOld && exists) {
        const QString kept = backupPathFor(file);
        QByteArray old;
        if (const auto why = readWhole(file, old))
            return notSaved(path, QStringLiteral("the file there could not be read whole to keep it as %1 (%2).")
                                      .arg(QFileInfo(kept).fileName(), *why));
        if (const auto failed = replaceFile(kept, old, &status, {}))
            return notSaved(path, *failed, QStringLiteral(" while keeping the old one as ") + QFileInfo(kept).fileName());
    }
    if (const auto failed = replaceFile(file, bytes, exists ? &status : nullptr, check))
        return notSaved(path, *failed, QString());
    return std::nullopt;
}

std::optional<QString> unreadableBackupOf(const QString& path)
{
    const QString backup = backupPathFor(savedFileFor(path));
    if (!QFileInfo(backup).isFile())
        return std::nullopt;
    try {
        if (PriceList::open(backup).refusal)
            return backup;
    } catch (const PriceFileError&) {
        // A backup that cannot be opened holds nothing to keep.
    }
    return std::nullopt;
}

std::optional<QString> savePriceList(const QString& path, const PriceList& list, Backup backup)
{
    if (const auto why = list.unwritable())
        return notSaved(path, *why);
    const QByteArray bytes = list.bytes();
    const QList<PriceRecord> shown = list.records();
    // Read as the shop reads it, before it takes the list's name.
    const auto readBack = [&](const QString& newFile) -> std::optional<QString> {
        try {
            const PriceList back = PriceList::open(newFile, path);
            if (back.refusal)
                return QStringLiteral("the new file reads back as a list the shop refuses:\n%1\n").arg(back.refusal->message);
            const QList<PriceRecord> read = back.records();
            if (read.size() != shown.size())
                return QStringLiteral("the shop reads %1 records from the new file, where the list shows %2.")
                    .arg(QString::number(read.size()), QString::number(shown.size()));
            for (qsizetype i = 0; i < read.size(); ++i)
                if (const auto field = firstDifference(read[i], shown[i]))
                    return QStringLiteral("the shop reads record %1, %2, from the new file as \"%3\", where the list "
                                          "shows \"%4\".")
                        .arg(QString::number(i + 1), fieldName(*field), shownField(read[i], *field),
                             shownField(shown[i], *field));
            if (back.bytes() != bytes)
                return QStringLiteral("the new file does not hold what was written to it.");
        } catch (const PriceFileError& e) {
            return QStringLiteral("the new file cannot be read back:\n%1\n").arg(e.message());
        }
        return std::nullopt;
    };
    return writeSafely(path, bytes, backup, readBack);
}

} // namespace plimbo::prices
