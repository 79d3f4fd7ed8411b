#pragma once
// The customer's invoice: the cart as a bill of up to two rows, the adult
// line and the children's line, with each row's unit price and cost and the
// total. From it the customer accepts, ends, or goes on to the other kind of
// shoes.

#include "../ui/screen.h"
#include "cart.h"

#include <array>
#include <vector>

class QLineEdit;
class QPushButton;
class QLabel;
class QTimer;

namespace plimbo {

struct Shop;

namespace invoice {
inline const QString Caption = QStringLiteral("Customer Invoice");
inline const QString SeeChildren = QStringLiteral("See Children's Plimbos");
inline const QString SeeAdult = QStringLiteral("See Adult Plimbos");
inline const QString Accept = QStringLiteral("Accept ");
inline const QString ClearExit = QStringLiteral("Clear - Exit");
inline const QString Thanks = QStringLiteral("Thank You!");
inline constexpr int Rows = 6;
// How long after the cart changes the open invoice a screen reader is told the bill.
inline constexpr int BillNoticeDelayMs = 600;
// The invoice's controls: name, kind, caption, twips rectangle, font, tab order.
std::vector<ui::ControlSpec> controlTable();
} // namespace invoice

class InvoiceScreen : public ui::Screen {
    Q_OBJECT
public:
    explicit InvoiceScreen(Shop& shop);

    // Works out the total and fills the rows from the cart.
    void Form_Load() override;

    void cmdAccept_Click();
    void cmdClear_Click();
    void cmdSeeOther_Click();

    using Column = std::array<QLineEdit*, invoice::Rows>;
    Column txtQty, txtAC, txtBrand, txtType, txtSize, txtUnitPrice, txtCost;
    QLineEdit* txtTotal() const;
    QPushButton* button(const char* name) const;
    // The rows and the total as a screen reader says them.
    QString bill() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    // The cart changed while the invoice is open: the invoice is filled
    // again exactly as a fresh load would fill it, so it never shows a bill
    // that is not the order.
    void refill();
    void fillRow(int row, Category category, bool unitPriceAsMoney);

    Shop& shop_;
    QTimer* billNotice_;   // tells a screen reader the bill
};

} // namespace plimbo
