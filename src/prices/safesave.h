#pragma once
// Saving that a USB stick pulled out, a full disk or a read-only folder can
// never leave half done: the new bytes go to a new file in the same folder,
// are flushed to the disk, and only then take the old file's name.

#include "pricelist.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace plimbo::prices {

// Writes `bytes` to `path` safely. With `backup` set, the file that was there
// is first kept under that name (also written safely). Returns why nothing
// was saved, in the owner's words; none when the file on disk holds `bytes`.
std::optional<QString> writeSafely(const QString& path, const QByteArray& bytes, const QString& backup = {});

// "PlimboPrice.bak" beside "PlimboPrice.txt".
QString backupPathFor(const QString& path);

// Saves the list (keeping the old as its .bak), then reads the file back
// with the shop's reader and compares it with the list; any difference is
// an error. Returns the error; none when the file on disk is the list.
std::optional<QString> savePriceList(const QString& path, const PriceList& list);

} // namespace plimbo::prices
