#include "safesave.h"

#include "catalogue/errors.h"
#include "catalogue/pricefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <variant>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plimbo::prices {

namespace {

// As many links as the system follows before it gives up.
constexpr int MaxLinkHops = 40;

QString reason(int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return QStringLiteral("the disk is full");
    if (error == EROFS)
        return QStringLiteral("the disk is read-only");
    if (error == EACCES || error == EPERM)
        return QStringLiteral("the folder may not be written to");
    if (error == ENOENT)
        return QStringLiteral("the folder it goes in is not there");
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

// Gives the new file `temp` the name `path`, and flushes the folder so that
// the new name survives a pulled stick. The new file is removed on failure.
std::optional<Failure> takeName(const QByteArray& temp, const QString& path)
{
    const QFileInfo info(path);
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

// Writes all of `bytes` to a new file in the folder of `path`, with the
// mode, group and owner of `like` when there is one, flushes it to the disk
// and lets `check` look at it: the new file's name, not yet renamed. Nothing
// is left behind on failure.
std::variant<QByteArray, Failure> writeNew(const QString& path, const QByteArray& bytes, const struct stat* like,
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
    return temp;
}

std::optional<Failure> replaceFile(const QString& path, const QByteArray& bytes, const struct stat* like)
{
    auto made = writeNew(path, bytes, like, {});
    if (const Failure* failed = std::get_if<Failure>(&made))
        return *failed;
    return takeName(std::get<QByteArray>(made), path);
}

// Why a file was not saved, and what became of the one there: `existed`
// tells whether there was one.
QString notSaved(const QString& path, const QString& why, bool existed)
{
    return QStringLiteral("%1 could not be saved: %2 %3")
        .arg(QFileInfo(path).absoluteFilePath(), why,
             existed ? QStringLiteral("The file on the disk is as it was.") : QStringLiteral("No file was made."));
}

QString notSaved(const QString& path, const Failure& f, const QString& while_, bool existed)
{
    if (!f.found.isEmpty())
        return notSaved(path, f.found, existed);
    return notSaved(path,
                    QStringLiteral("%1 (%2%3: %4).")
                        .arg(reason(f.error), QLatin1String(f.step), while_, QString::fromLocal8Bit(std::strerror(f.error))),
                    existed);
}

// The whole of the file at `path`, or why it could not be read whole; a
// file far larger than a price list is not read at all.
std::optional<QString> readWhole(const QString& path, QByteArray& bytes)
{
    QFile file;
    if (auto why = openPlainFile(path, file))
        return why;
    const qint64 size = file.size();
    if (size > MaxListBytes)
        return QStringLiteral("it holds %1, far more than a price list, and is probably not one")
            .arg(QLocale::c().formattedDataSize(size));
    bytes = file.read(MaxListBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (bytes.size() != size)
        return QStringLiteral("it changed while it was read");
    return std::nullopt;
}

} // namespace

QString savedFileFor(const QString& path)
{
    // As the system follows links: each link's target from the folder the
    // link really is in, that folder's own links followed first.
    QByteArray file = QFile::encodeName(path);
    if (!file.startsWith('/'))
        file = QFile::encodeName(QDir::currentPath()) + '/' + file;
    for (int hops = 0; hops <= MaxLinkHops; ++hops) {
        const qsizetype slash = file.lastIndexOf('/');
        QByteArray folder = file.left(std::max<qsizetype>(slash, 1));
        if (char* real = ::realpath(folder.constData(), nullptr)) {
            folder = real;
            std::free(real);
        }
        file = (folder == "/" ? QByteArray() : folder) + '/' + file.mid(slash + 1);
        char target[PATH_MAX];
        const ssize_t n = ::readlink(file.constData(), target, sizeof target);
        if (n < 0 || n == sizeof target)
            break;  // not a link: the file, or where it is to be
        file = target[0] == '/' ? QByteArray(target, n) : folder + '/' + QByteArray(target, n);
    }
    // A loop of links comes back as a link still; writing refuses it.
    return QFile::decodeName(file);
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
    const QByteArray native = QFile::encodeName(file);
    const QString shown = QFileInfo(path).absoluteFilePath();
    struct stat status {};
    if (::lstat(native.constData(), &status) == 0 && S_ISLNK(status.st_mode))
        return QStringLiteral("%1 was not written: its symbolic links lead round in a loop and never reach a file.")
            .arg(shown);
    // Only a file is replaced: a device, a pipe or a folder of that name stays as it is.
    const bool exists = ::stat(native.constData(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode))
        return QStringLiteral("%1 was not written: it is not a file. Choose a file's name.").arg(shown);
    if (exists && (status.st_mode & 0222) == 0)
        return QStringLiteral("%1 is read-only: its permissions let nobody change it, so it was not replaced. Make "
                              "it writable first, or choose another name.")
            .arg(shown);
    const QString kept = backupPathFor(file);
    QByteArray old;
    if (backup == Backup::KeepOld && exists) {
        if (const auto why = readWhole(file, old))
            return notSaved(path, QStringLiteral("the file there could not be read whole to keep it as %1 (%2).")
                                      .arg(QFileInfo(kept).fileName(), *why), true);
    }
    // The new file is written and looked at before anything on the disk
    // changes; then the old one is kept, then the new one takes the name.
    auto made = writeNew(file, bytes, exists ? &status : nullptr, check);
    if (const Failure* failed = std::get_if<Failure>(&made))
        return notSaved(path, *failed, QString(), exists);
    const QByteArray temp = std::get<QByteArray>(made);
    if (backup == Backup::KeepOld && exists) {
        if (const auto failed = replaceFile(kept, old, &status)) {
            ::unlink(temp.constData());
            return notSaved(path, *failed, QStringLiteral(" while keeping the old one as ") + QFileInfo(kept).fileName(),
                            true);
        }
    }
    if (const auto failed = takeName(temp, file))
        return notSaved(path, *failed, QString(), exists);
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
        return notSaved(path, *why, QFileInfo::exists(savedFileFor(path)));
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
                        .arg(QString::number(i + 1), fieldName(*field), fieldText(read[i], *field),
                             fieldText(shown[i], *field));
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
