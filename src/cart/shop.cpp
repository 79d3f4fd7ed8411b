#include "shop.h"

#include <QCoreApplication>
#include <QEvent>

namespace plimbo {

Shop::~Shop()
{
    // Screens closed during the run delete themselves from the event loop;
    // let those still waiting go before the shop they point at.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace plimbo
