#pragma once
// File > Show to Customers: the shop itself, run on the list as edited from
// a private temporary folder, without saving it.

#include "desk.h"
#include "pricelist.h"

#include <QObject>

namespace plimbo::prices {

class CustomerShow final : public QObject {
    Q_OBJECT
public:
    // The desk is not owned.
    explicit CustomerShow(Desk& desk, QObject* parent = nullptr);

    // Starts the shop on `list`; false when it could not be (the owner is told why).
    bool show(const PriceList& list);

private:
    Desk& desk_;
};

} // namespace plimbo::prices
