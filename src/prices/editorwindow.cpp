#include "editorwindow.h"

#include "ui/announce.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <functional>
#include <span>

namespace plimbo::prices {

namespace {

constexpr int RecordRole = Qt::UserRole;
constexpr int FieldRole = Qt::UserRole + 1;

// A label that names the control below it, for the eye and for a screen reader.
QWidget* titled(const QString& caption, QWidget* control, const QString& name)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption, box);
    label->setBuddy(control);
    control->setObjectName(name);
    control->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    layout->addWidget(label);
    layout->addWidget(control);
    return box;
}

QTableView* priceTableView(PriceTable* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setItemDelegate(new CellDelegate(view));
    // As in a spreadsheet: the arrows move between cells, typing or F2 edits.
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setTabKeyNavigation(true);
    // Columns fit their texts after every change but the keystrokes in a
    // cell: those are fitted when the cell is left.
    view->horizontalHeader()->setMinimumSectionSize(70);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    QObject::connect(view->itemDelegate(), &QAbstractItemDelegate::closeEditor, view,
                     [view] { view->resizeColumnsToContents(); });
    QObject::connect(&model->document(), &EditorDocument::changed, view, [view] {
        if (!view->indexWidget(view->currentIndex()))  // no cell being typed in
            view->resizeColumnsToContents();
    });
    view->resizeColumnsToContents();
    return view;
}

} // namespace

EditorWindow::EditorWindow(Desk& desk, QWidget* parent)
    : QMainWindow(parent), desk_(desk), document_(this), commands_(desk, document_, this), show_(desk, this),
      adult_(new PriceTable(document_, widths_, Category::Adult, this)),
      child_(new PriceTable(document_, widths_, Category::Child, this))
{
    setObjectName(QStringLiteral("frmPrices"));
    tblAdult = priceTableView(adult_, this);
    tblChild = priceTableView(child_, this);
    lstSkipped = new QListWidget(this);
    lstFindings = new QListWidget(this);
    lstFindings->setWordWrap(true);
    lstSkipped->setWordWrap(true);
    lblVerdict = new QLabel(this);
    lblVerdict->setObjectName(QStringLiteral("lblVerdict"));
    lblVerdict->setWordWrap(true);
    lblVerdict->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    lblCellMessage = new QLabel(this);
    lblCellMessage->setObjectName(QStringLiteral("lblCellMessage"));
    lblCellMessage->setWordWrap(true);
    lblCellMessage->setStyleSheet(QStringLiteral("color: #a00000"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(lblVerdict);
    auto* split = new QSplitter(Qt::Vertical, central);
    split->addWidget(titled(QLatin1Char('&') + categoryName(Category::Adult), tblAdult, QStringLiteral("tblAdult")));
    split->addWidget(titled(QLatin1Char('&') + categoryName(Category::Child), tblChild, QStringLiteral("tblChild")));
    split->addWidget(titled(QStringLiteral("Records the shop &passes over"), lstSkipped, QStringLiteral("lstSkipped")));
    split->addWidget(titled(QStringLiteral("What the shop will &make of this list"), lstFindings,
                            QStringLiteral("lstFindings")));
    // The tables first; the lists below take what room is left.
    for (int part = 0; part < split->count(); ++part)
        split->setStretchFactor(part, part < 2 ? 3 : 2);
    layout->addWidget(split, 1);
    layout->addWidget(lblCellMessage);
    lblVerdict->setAccessibleName(QStringLiteral("Verdict"));
    lblCellMessage->setAccessibleName(QStringLiteral("Cell message"));
    setCentralWidget(central);

    // The menus, as a table: object name, caption, keys, what it does.
    struct Command {
        const char* name;
        const char* caption;
        QKeySequence keys;
        std::function<bool()> run;
    };
    ListCommands* list = &commands_;
    const Command fileMenu[] = {
        {"actNew", "&New", QKeySequence::New, [list] { return list->newList(); }},
        {"actOpen", "&Open...", QKeySequence::Open, [list] { return list->openChosen(); }},
        {"actSave", "&Save", QKeySequence::Save, [list] { return list->save(); }},
        {"actSaveAs", "Save &As...", QKeySequence::SaveAs, [list] { return list->saveAs(); }},
        {nullptr, nullptr, {}, {}},
        {"actImport", "&Import Spreadsheet...", {}, [list] { return list->importSpreadsheet(); }},
        {"actExport", "&Export Spreadsheet...", {}, [list] { return list->exportSpreadsheet(); }},
        {nullptr, nullptr, {}, {}},
        {"actShow", "Show to &Customers", QKeySequence(Qt::Key_F5), [this] { return showToCustomers(); }},
        {nullptr, nullptr, {}, {}},
        {"actQuit", "&Quit", QKeySequence::Quit, [this] { return quit(); }},
    };
    const Command editMenu[] = {
        {"actChangePrices", "&Change Prices...", QKeySequence(Qt::CTRL | Qt::Key_P), [list] { return list->changePrices(); }},
        {"actAddAdult", "Add &Adult Record", {}, [this] { return addRecord(Category::Adult); }},
        {"actAddChild", "Add C&hildren's Record", {}, [this] { return addRecord(Category::Child); }},
        {"actDelete", "&Delete Record", QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { return deleteRecord(); }},
        {"actRepair", "&Repair Text", QKeySequence(Qt::CTRL | Qt::Key_R), [this] { return repairText(); }},
    };
    auto fill = [this](QMenu* menu, std::span<const Command> commands) {
        for (const Command& c : commands) {
            if (!c.name) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(QString::fromUtf8(c.caption));
            a->setObjectName(QLatin1String(c.name));
            a->setShortcut(c.keys);
            connect(a, &QAction::triggered, this, [run = c.run] { run(); });
        }
    };
    fill(menuBar()->addMenu(QStringLiteral("&File")), fileMenu);
    actSave = findChild<QAction*>(QStringLiteral("actSave"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    actUndo = document_.undoStack().createUndoAction(this, QStringLiteral("&Undo"));
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcut(QKeySequence::Undo);
    actRedo = document_.undoStack().createRedoAction(this, QStringLiteral("&Redo"));
    actRedo->setObjectName(QStringLiteral("actRedo"));
    actRedo->setShortcut(QKeySequence::Redo);
    edit->addAction(actUndo);
    edit->addAction(actRedo);
    edit->addSeparator();
    fill(edit, editMenu);

    connect(&document_, &EditorDocument::changed, this, &EditorWindow::refresh);
    connect(&document_.undoStack(), &QUndoStack::cleanChanged, this, &EditorWindow::refresh);
    connect(adult_, &PriceTable::refused, this, &EditorWindow::refuseAt);
    connect(child_, &PriceTable::refused, this, &EditorWindow::refuseAt);
    connect(lstFindings, &QListWidget::itemActivated, this, &EditorWindow::goToFinding);
    connect(lstSkipped, &QListWidget::itemActivated, this, &EditorWindow::fixSkipped);
    connect(&commands_, &ListCommands::said, this, &EditorWindow::tell);
    resize(900, 700);
    tblAdult->setFocus();
    refresh();
}

EditorWindow::~EditorWindow()
{
    // The views go first: their models read the document, a member; and
    // the document's last signals find no window.
    document_.disconnect(this);
    document_.undoStack().disconnect(this);
    delete takeCentralWidget();
}

void EditorWindow::fillList(QListWidget* list, const std::vector<FindingLine>& lines)
{
    // Rebuilt only when something in it changed: a keystroke that changes
    // nothing here costs nothing here, however many records the list has.
    bool same = list->count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        const FindingLine& line = lines[static_cast<std::size_t>(i)];
        same = item->text() == line.text && item->data(RecordRole).toULongLong() == line.record &&
               item->data(FieldRole).toInt() == line.field;
    }
    if (same)
        return;
    list->clear();
    for (const FindingLine& line : lines) {
        auto* item = new QListWidgetItem(line.text, list);
        item->setData(RecordRole, static_cast<qulonglong>(line.record));
        item->setData(FieldRole, line.field);
    }
}

void EditorWindow::refresh()
{
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(commands_.shownName(), EditorTitle));
    setWindowModified(document_.modified());
    const ListFindings found =
        describeList(document_, [this](Category c, const QString& type) { return widths_.warning(c, type); });
    fillList(lstSkipped, found.skipped);
    fillList(lstFindings, found.warnings);
    if (lblVerdict->text() != found.verdict) {
        lblVerdict->setText(found.verdict);
        ui::announce(lblVerdict, found.verdict);
    }
}

void EditorWindow::tell(const QString& text)
{
    lblCellMessage->setText(text);
    ui::announce(lblCellMessage, text);
}

void EditorWindow::refuseAt(const QModelIndex& index, const QString& why)
{
    tell(why);
    QTableView* view = table(static_cast<const PriceTable*>(index.model())->category());
    const QRect cell = view->visualRect(index);
    QToolTip::showText(view->viewport()->mapToGlobal(cell.bottomLeft()), why, view->viewport(), cell);
}

std::optional<std::pair<std::size_t, int>> EditorWindow::currentCell() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (const Category c : {Category::Adult, Category::Child}) {
        const QModelIndex at = table(c)->currentIndex();
        if (at.isValid() && focus && (focus == table(c) || table(c)->isAncestorOf(focus)))
            return std::make_pair(model(c)->recordAt(at.row()), PriceTable::fieldOf(at.column()));
    }
    return std::nullopt;
}

void EditorWindow::goToFinding()
{
    QListWidgetItem* item = lstFindings->currentItem();
    if (!item)
        return;
    const auto record = static_cast<std::size_t>(item->data(RecordRole).toULongLong());
    const int field = item->data(FieldRole).toInt();
    for (const Category c : {Category::Adult, Category::Child})
        if (const int row = model(c)->rowOf(record); row >= 0) {
            table(c)->setCurrentIndex(model(c)->index(row, field - 1));
            table(c)->setFocus();
        }
    commands_.repair(record, field);
}

void EditorWindow::fixSkipped()
{
    if (QListWidgetItem* item = lstSkipped->currentItem())
        commands_.repair(static_cast<std::size_t>(item->data(RecordRole).toULongLong()), 0);
}

std::optional<std::size_t> EditorWindow::chosenSkipped() const
{
    if (!lstSkipped->hasFocus() || !lstSkipped->currentItem())
        return std::nullopt;
    return static_cast<std::size_t>(lstSkipped->currentItem()->data(RecordRole).toULongLong());
}

bool EditorWindow::repairText()
{
    if (const auto cell = currentCell())
        return commands_.repair(cell->first, cell->second);
    const auto skipped = chosenSkipped();
    return skipped && commands_.repair(*skipped, 0);
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    if (commands_.maybeSave())
        event->accept();
    else
        event->ignore();
}

bool EditorWindow::quit()
{
    return close();
}

bool EditorWindow::showToCustomers()
{
    return show_.show(document_.list());
}

bool EditorWindow::addRecord(Category c)
{
    const std::vector<std::size_t> rows = document_.rowsOf(c);
    if (rows.size() >= RecordsPerCategory) {
        desk_.message(QStringLiteral("The %1 list has %2 records, all the shop takes. Delete one first.")
                          .arg(categoryName(c), QString::number(RecordsPerCategory)));
        return false;
    }
    PriceRecord r;
    r.category = categoryText(c);
    r.brand = KnownBrand()[0];
    for (const QString& b : KnownBrand()) {
        const bool used = std::any_of(rows.begin(), rows.end(),
                                      [&](std::size_t i) { return document_.list().entries[i].values.brand == b; });
        if (!used) {
            r.brand = b;
            break;
        }
    }
    PriceList after = document_.list();
    const std::size_t at = rows.empty() ? after.entries.size() : rows.back() + 1;
    after.insert(at, r);
    document_.change(after, QStringLiteral("Add %1 record").arg(categoryName(c)));
    const int row = model(c)->rowOf(at);
    table(c)->setCurrentIndex(model(c)->index(row, 0));
    table(c)->setFocus();
    return true;
}

bool EditorWindow::deleteRecord()
{
    const auto cell = currentCell();
    const std::optional<std::size_t> record = cell ? std::optional(cell->first) : chosenSkipped();
    if (!record)
        return false;
    PriceList after = document_.list();
    after.remove(*record);
    document_.change(after, QStringLiteral("Delete record %1").arg(QString::number(*record + 1)));
    return true;
}

} // namespace plimbo::prices
