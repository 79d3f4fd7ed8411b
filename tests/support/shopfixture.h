#pragma once
// A shop started by the real start-up routine from a price list the test
// writes, with the scripted dialog seam.

#include "app/startup.h"
#include "pricefiles.h"
#include "scriptedplatform.h"

#include <QTemporaryDir>
#include <memory>

namespace test {

struct ShopFixture {
    explicit ShopFixture(const QByteArray& priceList = canonicalFile())
    {
        path = writePriceFile(dir, priceList);
        plimbo::startUp(shop, path);
    }

    QTemporaryDir dir;
    QString path;
    ScriptedPlatform platform;
    plimbo::Shop shop{platform};
};

} // namespace test
