#include "editorwindow.h"

#include "csv.h"
#include "safesave.h"
#include "catalogue/errors.h"
#include "catalogue/pricefile.h"
#include "ui/announce.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QVBoxLayout>
#include <span>

namespace plimbo::prices {

namespace {

const QString CsvFilter = QStringLiteral("Spreadsheet (CSV) files (*.csv);;All files (*)");
const QString ListFilter = QStringLiteral("Price lists (*.txt);;All files (*)");
constexpr int RecordRole = Qt::UserRole;
constexpr int FieldRole = Qt::UserRole + 1;

QString categoryWord(Category c)
{
    return c == Category::Adult ? QStringLiteral("Adult") : QStringLiteral("Children's");
}

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

EditorWindow::EditorWindow(Desk& desk, QWidget* parent)
    : QMainWindow(parent), desk_(desk), document_(this),
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
    split->addWidget(titled(QStringLiteral("&Adult"), tblAdult, QStringLiteral("tblAdult")));
    split->addWidget(titled(QStringLiteral("&Children's"), tblChild, QStringLiteral("tblChild")));
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
        bool (EditorWindow::*run)();
    };
    const Command fileMenu[] = {
        {"actNew", "&New", QKeySequence::New, &EditorWindow::newList},
        {"actOpen", "&Open...", QKeySequence::Open, &EditorWindow::openChosen},
        {"actSave", "&Save", QKeySequence::Save, &EditorWindow::save},
        {"actSaveAs", "Save &As...", QKeySequence::SaveAs, &EditorWindow::saveAs},
        {nullptr, nullptr, {}, nullptr},
        {"actImport", "&Import Spreadsheet...", {}, &EditorWindow::importSpreadsheet},
        {"actExport", "&Export Spreadsheet...", {}, &EditorWindow::exportSpreadsheet},
        {nullptr, nullptr, {}, nullptr},
        {"actShow", "Show to &Customers", QKeySequence(Qt::Key_F5), &EditorWindow::showToCustomers},
        {nullptr, nullptr, {}, nullptr},
        {"actQuit", "&Quit", QKeySequence::Quit, &EditorWindow::quit},
    };
    const Command editMenu[] = {
        {"actChangePrices", "&Change Prices...", QKeySequence(Qt::CTRL | Qt::Key_P), &EditorWindow::changePrices},
        {"actAddAdult", "Add &Adult Record", {}, &EditorWindow::addAdultRecord},
        {"actAddChild", "Add C&hildren's Record", {}, &EditorWindow::addChildRecord},
        {"actDelete", "&Delete Record", QKeySequence(Qt::CTRL | Qt::Key_Delete), &EditorWindow::deleteRecord},
        {"actRepair", "&Repair Text", QKeySequence(Qt::CTRL | Qt::Key_R), &EditorWindow::repairText},
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
            connect(a, &QAction::triggered, this, [this, run = c.run] { (this->*run)(); });
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

void EditorWindow::fillList(QListWidget* list, const std::vector<Line>& lines)
{
    // Rebuilt only when something in it changed: a keystroke that changes
    // nothing here costs nothing here, however many records the list has.
    bool same = list->count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        const Line& line = lines[static_cast<std::size_t>(i)];
        same = item->text() == line.text && item->data(RecordRole).toULongLong() == line.record &&
               item->data(FieldRole).toInt() == line.field;
    }
    if (same)
        return;
    list->clear();
    for (const Line& line : lines) {
        auto* item = new QListWidgetItem(line.text, list);
        item->setData(RecordRole, static_cast<qulonglong>(line.record));
        item->setData(FieldRole, line.field);
    }
}

QString EditorWindow::shownName() const
{
    return document_.path().isEmpty() ? QStringLiteral("New price list") : QFileInfo(document_.path()).fileName();
}

void EditorWindow::refresh()
{
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(shownName(), EditorTitle));
    setWindowModified(document_.modified());
    const PriceList& list = document_.list();
    const std::vector<RecordFate>& fates = document_.fates();

    std::vector<Line> skipped, findings;
    for (const PriceFinding& f : document_.check().findings) {
        const auto record = static_cast<std::size_t>(f.record - 1);
        const PriceRecord& r = list.entries[record].values;
        if (f.skipped) {
            skipped.push_back({QStringLiteral("Record %1 (\"%2\", \"%3\"): %4")
                                   .arg(QString::number(f.record), r.category, r.brand, f.text),
                               record, 0});
            continue;
        }
        const Category c = fates[record] == RecordFate::AcceptedAdult ? Category::Adult : Category::Child;
        findings.push_back({QStringLiteral("%1 row %2, %3: %4")
                                .arg(categoryWord(c), QString::number(model(c)->rowOf(record) + 1), fieldName(f.field), f.text),
                            record, f.field});
    }
    for (const Category c : {Category::Adult, Category::Child})
        for (int row = 0; row < model(c)->rowCount(); ++row)
            for (int pair = 0; pair < PairCount; ++pair) {
                const std::size_t record = model(c)->recordAt(row);
                if (list.entries[record].values.price[pair].value() == 0)
                    continue;
                if (const auto wide = widths_.warning(c, list.entries[record].values.type[pair]))
                    findings.push_back({QStringLiteral("%1 row %2, %3: %4")
                                            .arg(categoryWord(c), QString::number(row + 1), fieldName(2 + 2 * pair), *wide),
                                        record, 2 + 2 * pair});
            }
    fillList(lstSkipped, skipped);
    fillList(lstFindings, findings);

    QString verdict;
    if (list.refusal)
        verdict = QStringLiteral("The shop refuses this list and will not start with it. Records from %1 on could "
                                 "not be read; they are not shown:\n%2")
                      .arg(QString::number(list.refusal->record), list.refusal->message);
    else if (lstFindings->count() == 0 && lstSkipped->count() == 0)
        verdict = QStringLiteral("The shop will read this list as shown");
    else
        verdict = QStringLiteral("The shop will not read this list as shown: %1 passed over, %2 to look at (listed below).")
                      .arg(lstSkipped->count() == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(lstSkipped->count()),
                           lstFindings->count() == 1 ? QStringLiteral("1 thing") : QStringLiteral("%1 things").arg(lstFindings->count()));
    if (lblVerdict->text() != verdict) {
        lblVerdict->setText(verdict);
        ui::announce(lblVerdict, verdict);
    }
}

void EditorWindow::refuseAt(const QModelIndex& index, const QString& why)
{
    lblCellMessage->setText(why);
    ui::announce(lblCellMessage, why);
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
    repairAt(record, field);
}

bool EditorWindow::repairText()
{
    const auto cell = currentCell();
    return cell && repairAt(cell->first, cell->second);
}

bool EditorWindow::repairAt(std::size_t record, int field)
{
    if (field < 2 || field % 2 != 0)
        return false;
    PriceRecord r = document_.list().entries[record].values;
    QString& type = r.type[(field - 2) / 2];
    const auto meant = utf8TakenForWindows1252(type);
    if (!meant || !desk_.confirm(QStringLiteral("\"%1\" is \"%2\" saved as UTF-8. Put \"%2\" in its place?").arg(type, *meant)))
        return false;
    type = *meant;
    PriceList after = document_.list();
    after.setValues(record, r);
    document_.change(after, QStringLiteral("Repair \"%1\"").arg(*meant));
    return true;
}

bool EditorWindow::maybeSave()
{
    if (!document_.modified())
        return true;
    switch (desk_.askToSave(shownName())) {
    case Desk::Answer::Save:
        return save();
    case Desk::Answer::Discard:
        return true;
    case Desk::Answer::Cancel:
        break;
    }
    return false;
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

bool EditorWindow::openFile(const QString& path)
{
    if (!maybeSave())
        return false;
    try {
        const PriceList list = PriceList::open(path);
        document_.load(list, QFileInfo(path).absoluteFilePath());
        if (list.refusal)
            desk_.message(list.refusal->message +
                          QStringLiteral("\n\nThe records before it are shown. Repair them and save: the rest, which "
                                         "cannot be read, is dropped only when you say so."));
        return true;
    } catch (const PriceFileError& e) {
        desk_.message(e.message());
        return false;
    }
}

bool EditorWindow::openChosen()
{
    const QString path = desk_.fileToOpen(QStringLiteral("Open a price list"), ListFilter, driveAFolder());
    return !path.isEmpty() && openFile(path);
}

bool EditorWindow::quit()
{
    return close();
}

bool EditorWindow::addAdultRecord()
{
    return addRecord(Category::Adult);
}

bool EditorWindow::addChildRecord()
{
    return addRecord(Category::Child);
}

bool EditorWindow::newList()
{
    if (!maybeSave())
        return false;
    document_.load(PriceList::fresh(), QString());
    return true;
}

bool EditorWindow::save()
{
    return document_.path().isEmpty() ? saveAs() : saveTo(document_.path());
}

bool EditorWindow::saveAs()
{
    const QString suggested = document_.path().isEmpty() ? priceFilePath() : document_.path();
    const QString path = desk_.fileToSave(QStringLiteral("Save the price list"), ListFilter, suggested);
    return !path.isEmpty() && saveTo(path);
}

bool EditorWindow::saveTo(const QString& path)
{
    PriceList list = document_.list();
    if (list.refusal) {
        if (!desk_.confirm(QStringLiteral("The rest of the list, from record %1 on (%2 bytes), cannot be read. "
                                          "Drop it and save the records shown?")
                               .arg(QString::number(list.refusal->record), QString::number(list.refusal->restBytes))))
            return false;
        list.refusal.reset();
    }
    if (const auto error = savePriceList(path, list)) {
        desk_.message(QStringLiteral("The price list was not saved.\n") + *error);
        return false;
    }
    try {
        document_.saved(PriceList::open(path), QFileInfo(path).absoluteFilePath());
    } catch (const PriceFileError& e) {
        desk_.message(e.message());
        return false;
    }
    lblCellMessage->setText(QStringLiteral("Saved %1.").arg(QFileInfo(path).absoluteFilePath()));
    ui::announce(lblCellMessage, lblCellMessage->text());
    return true;
}

bool EditorWindow::importSpreadsheet()
{
    const QString path = desk_.fileToOpen(QStringLiteral("Import a spreadsheet"), CsvFilter, driveAFolder());
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || QFileInfo(path).size() > MaxListBytes) {
        desk_.message(QStringLiteral("Nothing was imported: %1 could not be read (%2).")
                          .arg(path, file.isOpen() ? QStringLiteral("far larger than a price list") : file.errorString()));
        return false;
    }
    const CsvImport read = importCsv(file.readAll());
    if (!read.problems.isEmpty()) {
        desk_.message(QStringLiteral("Nothing was imported: %1 of %2 cannot be placed in the price list.\n\n%3")
                          .arg(read.problems.size() == 1 ? QStringLiteral("one thing") : QStringLiteral("%1 things").arg(read.problems.size()),
                               QFileInfo(path).fileName(), read.problems.join(QLatin1Char('\n'))));
        return false;
    }
    PriceList after = document_.list();
    after.replaceAll(read.records);
    after.refusal.reset();
    if (after.bytes() == document_.list().bytes() && !document_.list().refusal) {
        desk_.message(QStringLiteral("%1 holds the list as it stands: nothing changed.").arg(QFileInfo(path).fileName()));
        return false;
    }
    document_.change(after, QStringLiteral("Import %1").arg(QFileInfo(path).fileName()));
    desk_.message(QStringLiteral("Imported %1 rows from %2. Save to keep them.")
                      .arg(QString::number(read.records.size()), QFileInfo(path).fileName()));
    return true;
}

bool EditorWindow::exportSpreadsheet()
{
    const QString base = document_.path().isEmpty() ? priceFilePath() : document_.path();
    const QFileInfo info(base);
    const QString path = desk_.fileToSave(QStringLiteral("Export a spreadsheet"), CsvFilter,
                                          info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv")));
    if (path.isEmpty())
        return false;
    if (const auto error = writeSafely(path, exportCsv(document_.list()))) {
        desk_.message(QStringLiteral("Nothing was exported.\n") + *error);
        return false;
    }
    desk_.message(QStringLiteral("Exported %1 records to %2.")
                      .arg(QString::number(document_.list().entries.size()), path));
    return true;
}

bool EditorWindow::showToCustomers()
{
    auto folder = std::make_unique<QTemporaryDir>();
    QFile file(folder->filePath(QStringLiteral("PlimboPrice.txt")));
    if (!folder->isValid() || !file.open(QIODevice::WriteOnly) || file.write(document_.list().bytes()) < 0 ||
        !file.flush()) {
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

bool EditorWindow::changePrices()
{
    QList<std::pair<Category, QString>> brands;
    for (const Category c : {Category::Adult, Category::Child})
        for (const std::size_t record : document_.rowsOf(c))
            if (const QString& b = document_.list().entries[record].values.brand; knownBrandPosition(b))
                brands.append({c, b});
    const auto change = desk_.priceChange(brands);
    if (!change)
        return false;
    auto result = prices::changePrices(document_.list(), *change);
    if (const auto* refused = std::get_if<QStringList>(&result)) {
        desk_.message(QStringLiteral("No price was changed: a price must stay from 1 to 32,767 dollars.\n\n") +
                      refused->join(QLatin1Char('\n')));
        return false;
    }
    const PriceList& after = std::get<PriceList>(result);
    if (after.bytes() == document_.list().bytes())
        return false;
    document_.change(after, QStringLiteral("Change prices"));
    return true;
}

bool EditorWindow::addRecord(Category c)
{
    const std::vector<std::size_t> rows = document_.rowsOf(c);
    if (rows.size() >= 5) {
        desk_.message(QStringLiteral("The %1 list has five records, all the shop takes. Delete one first.")
                          .arg(categoryWord(c)));
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
    document_.change(after, QStringLiteral("Add %1 record").arg(categoryWord(c)));
    const int row = model(c)->rowOf(at);
    table(c)->setCurrentIndex(model(c)->index(row, 0));
    table(c)->setFocus();
    return true;
}

bool EditorWindow::deleteRecord()
{
    std::optional<std::size_t> record;
    if (const auto cell = currentCell())
        record = cell->first;
    else if (lstSkipped->hasFocus() && lstSkipped->currentItem())
        record = static_cast<std::size_t>(lstSkipped->currentItem()->data(RecordRole).toULongLong());
    if (!record)
        return false;
    PriceList after = document_.list();
    after.remove(*record);
    document_.change(after, QStringLiteral("Delete record %1").arg(QString::number(*record + 1)));
    return true;
}

} // namespace plimbo::prices
