#pragma once
// The owner's window: the adult and children's tables, the records the shop
// passes over, and what the shop will make of the list, kept up to date as
// the owner types.

#include "desk.h"
#include "editordocument.h"
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

    // File menu. Each returns false when it did nothing (cancelled or failed).
    bool openFile(const QString& path);
    bool openChosen();
    bool newList();
    bool save();
    bool saveAs();
    bool importSpreadsheet();
    bool exportSpreadsheet();
    bool showToCustomers();
    bool quit();
    // Edit menu.
    bool changePrices();
    bool addRecord(Category c);
    bool addAdultRecord();
    bool addChildRecord();
    bool deleteRecord();
    bool repairText();
    // Save / Discard / Cancel when there are unsaved changes; true when the
    // list may be put away.
    bool maybeSave();

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
    // One line of the skipped list or the findings, and the cell it is about.
    struct Line {
        QString text;
        std::size_t record;
        int field;
    };
    void fillList(QListWidget* list, const std::vector<Line>& lines);
    void refuseAt(const QModelIndex& index, const QString& why);
    void goToFinding();
    // Offers the repaired text of a type saved as UTF-8.
    bool repairAt(std::size_t record, int field);
    bool saveTo(const QString& path);
    QString shownName() const;
    // The table cell that has the focus: its record and field.
    std::optional<std::pair<std::size_t, int>> currentCell() const;

    Desk& desk_;
    EditorDocument document_;
    TypeWidths widths_;
    PriceTable* adult_;
    PriceTable* child_;
};

} // namespace plimbo::prices
