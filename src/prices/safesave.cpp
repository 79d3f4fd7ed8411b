#include "safesave.h"

#include "catalogue/errors.h"

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

// Where writing failed: the step and the system's error.
struct Failure {
    const char* step;
    int error;
};

// Writes all of `bytes` to a new file in the folder of `path`, flushes it to
// the disk and renames it over `path`. The folder is flushed too, so that
// the new name survives a pulled stick. Nothing is left behind on failure.
std::optional<Failure> replaceFile(const QString& path, const QByteArray& bytes)
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
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0)
        return drop("flushing to the disk", errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return Failure{"flushing to the disk", error};
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

QString notSaved(const QString& path, const Failure& f, const QString& while_)
{
    return QStringLiteral("%1 could not be saved: %2 (%3%4: %5). The file on the disk is as it was.")
        .arg(QFileInfo(path).absoluteFilePath(), reason(f.error), QLatin1String(f.step), while_,
             QString::fromLocal8Bit(std::strerror(f.error)));
}

} // namespace

QString backupPathFor(const QString& path)
{
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".bak"));
}

std::optional<QString> writeSafely(const QString& path, const QByteArray& bytes, const QString& backup)
{
    // Only a file is replaced: a device, a pipe or a folder of that name stays as it is.
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return QStringLiteral("%1 was not written: it is not a file. Choose a file's name.")
            .arg(QFileInfo(path).absoluteFilePath());
    if (!backup.isEmpty() && QFileInfo(path).isFile()) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly))
            return QStringLiteral("%1 could not be saved: the file there could not be read to keep it as %2 (%3). "
                                  "The file on the disk is as it was.")
                .arg(QFileInfo(path).absoluteFilePath(), QFileInfo(backup).fileName(), old.errorString());
        if (const auto failed = replaceFile(backup, old.readAll()))
            return notSaved(path, *failed, QStringLiteral(" while keeping the old one as ") + QFileInfo(backup).fileName());
    }
    if (const auto failed = replaceFile(path, bytes))
        return notSaved(path, *failed, QString());
    return std::nullopt;
}

std::optional<QString> savePriceList(const QString& path, const PriceList& list)
{
    const QByteArray bytes = list.bytes();
    if (auto error = writeSafely(path, bytes, backupPathFor(path)))
        return error;
    // Read back as the shop reads it.
    try {
        const PriceList back = PriceList::open(path);
        if (back.bytes() != bytes || back.refusal)
            return QStringLiteral("%1 was written, but reads back differently from the list shown%2. "
                                  "Save again, or keep the list from %3.")
                .arg(QFileInfo(path).absoluteFilePath(),
                     back.refusal ? QStringLiteral(": ") + back.refusal->message : QString(),
                     QFileInfo(backupPathFor(path)).fileName());
        const QList<PriceRecord> shown = list.records(), read = back.records();
        bool same = shown.size() == read.size();
        for (qsizetype i = 0; same && i < shown.size(); ++i)
            same = shopForm(shown[i]) == shopForm(read[i]);
        if (!same)
            return QStringLiteral("%1 was written, but the shop reads other records from it than the list shown.")
                .arg(QFileInfo(path).absoluteFilePath());
    } catch (const PriceFileError& e) {
        return QStringLiteral("%1 was written, but cannot be read back:\n%2")
            .arg(QFileInfo(path).absoluteFilePath(), e.message());
    }
    return std::nullopt;
}

} // namespace plimbo::prices
