#include "customershow.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace plimbo::prices {

namespace {

// The shop the owner shows the list in: the program beside this one, as
// installed and as built, else the one on the PATH.
QString shopProgram()
{
    const QString set = qEnvironmentVariable("PLIMBO_SHOP_PROGRAM");
    if (!set.isEmpty())
        return set;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/plimbo");
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral("plimbo");
}

} // namespace

CustomerShow::CustomerShow(Desk& desk, QObject* parent) : QObject(parent), desk_(desk) {}

bool CustomerShow::show(const PriceList& list)
{
    if (const auto why = list.unwritable()) {
        desk_.message(QStringLiteral("The shop could not be shown the list: %1").arg(*why));
        return false;
    }
    auto folder = std::make_unique<QTemporaryDir>();
    QFile file(folder->filePath(QStringLiteral("PlimboPrice.txt")));
    if (!folder->isValid() || !file.open(QIODevice::WriteOnly) || file.write(list.bytes()) < 0 || !file.flush()) {
        desk_.message(QStringLiteral("The shop could not be shown: no private folder could be written (%1).")
                          .arg(file.errorString()));
        return false;
    }
    file.close();
    auto* shop = new QProcess(this);
    shop->setObjectName(QStringLiteral("shopShown"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLIMBO_DRIVE_A"), folder->path());
    shop->setProcessEnvironment(env);
    shop->setWorkingDirectory(folder->path());
    shop->setProcessChannelMode(QProcess::ForwardedChannels);
    // The private folder lives as long as the shop shown from it.
    QTemporaryDir* kept = folder.release();
    connect(shop, &QProcess::finished, shop, [shop, kept] {
        delete kept;
        shop->deleteLater();
    });
    connect(shop, &QProcess::errorOccurred, this, [this, shop, kept](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        desk_.message(QStringLiteral("The shop could not be started: %1").arg(shop->errorString()));
        delete kept;
        shop->deleteLater();
    });
    shop->start(shopProgram(), {});
    return true;
}

} // namespace plimbo::prices
