#pragma once
// The owner's window: the adult and children's tables, the records the shop
// passes over, and what the shop will make of the list, kept up to date as
// the owner types. Its menus run the list's commands, Show to Customers and
// what works on the tables' cells.

#include "customershow.h"
#include "desk.h"
#include "editordocument.h"
#include "listcommands.h"
#include "listfindings.h"
#include "pricetable.h"
#include "typewidth.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QListWidget;
class QTableView;

namespace plimbo::prices {

class EditorWindow final : public QMainWindow {
    Q_OBJECT
public:
    // `desk` answers every question; the window does not own it.
    explicit EditorWindow(Desk& desk, QWidget* parent = nullptr);
    ~EditorWindow() override;

    EditorDocument& document() { return document_; }
    ListCommands& commands() { return commands_; }

    // Each returns false when it did nothing.
    bool showToCustomers();
    bool quit();
    bool addRecord(Category c);
    bool deleteRecord();
    // Edit > Repair Text: the repair the cell with the focus, or the record
    // chosen among those the shop passes over, is offered.
    bool repairText();

    QTableView* table(Category c) const { return c == Category::Adult ? tblAdult : tblChild; }
    PriceTable* model(Category c) const { return c == Category::Adult ? adult_ : child_; }
    QTableView* tblAdult;
    QTableView* tblChild;
    QListWidget* lstSkipped;
    QListWidget* lstFindings;
    QLabel* lblVerdict;
    QLabel* lblCellMessage;
    QAction* actUndo;
    QAction* actRedo;
    QAction* actSave;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();
    void fillList(QListWidget* list, const std::vector<FindingLine>& lines);
    void tell(const QString& text);
    void refuseAt(const QModelIndex& index, const QString& why);
    void goToFinding();
    void fixSkipped();
    // The table cell that has the focus: its record and field.
    std::optional<std::pair<std::size_t, int>> currentCell() const;
    // The record chosen among those the shop passes over, while that list has the focus.
    std::optional<std::size_t> chosenSkipped() const;

    Desk& desk_;
    EditorDocument document_;
    ListCommands commands_;
    CustomerShow show_;
    TypeWidths widths_;
    PriceTable* adult_;
    PriceTable* child_;
};

} // namespace plimbo::prices
