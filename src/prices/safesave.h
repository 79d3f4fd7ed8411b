#pragma once
// Saving that a USB stick pulled out, a full disk or a read-only folder can
// never leave half done: the new bytes go to a new file in the same folder,
// are flushed to the disk and read back, and only then take the old file's
// name.

#include "pricelist.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace plimbo::prices {

// The file a save to `path` writes: the file itself, or the one a symbolic
// link there leads to (through every link), as a shared folder or a stick's
// mount is often reached.
QString savedFileFor(const QString& path);

// "PlimboPrice.bak" beside "PlimboPrice.txt"; "Prices.bak.bak" beside
// "Prices.bak", whose own name it cannot be.
QString backupPathFor(const QString& path);

// Whether a save keeps the file that was there under its backup name.
enum class Backup { KeepOld, None };

// Looks at the new file before it takes the name: why it must not, in the
// owner's words (a sentence); none when it may.
using NewFileCheck = std::function<std::optional<QString>(const QString& newFile)>;

// Writes `bytes` to the file `path` is or leads to, safely, keeping that
// file's mode, group and owner where the system allows. With
// Backup::KeepOld, the file that was there is first kept whole under its
// backup name (also written safely), or nothing is saved. Returns why nothing
// was saved, in the owner's words; none when the file on disk holds `bytes`.
std::optional<QString> writeSafely(const QString& path, const QByteArray& bytes, Backup backup = Backup::None,
                                   const NewFileCheck& check = {});

// The backup of the list at `path` when it holds a list the shop refuses,
// as it does after a list's unreadable rest was dropped on saving: its path.
// None for any other backup, or none.
std::optional<QString> unreadableBackupOf(const QString& path);

// Saves the list. The new file is read back with the shop's reader and
// compared, field by field, with the list before it replaces the old one;
// any difference leaves the old list in place. Returns why the list was not
// saved; none when the file on disk is the list.
std::optional<QString> savePriceList(const QString& path, const PriceList& list, Backup backup = Backup::KeepOld);

} // namespace plimbo::prices
