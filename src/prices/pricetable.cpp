#include "pricetable.h"

#include "catalogue/pricefile.h"

#include <QBrush>
#include <QComboBox>
#include <QLineEdit>

namespace plimbo::prices {

PriceTable::PriceTable(EditorDocument& document, const TypeWidths& widths, Category category, QObject* parent)
    : QAbstractTableModel(parent), document_(document), widths_(widths), category_(category),
      rows_(document.rowsOf(category))
{
    for (int row = 0; row < rowCount(); ++row)
        shown_.push_back(rowAsShown(row));
    connect(&document_, &EditorDocument::changed, this, &PriceTable::follow);
}

void PriceTable::follow()
{
    auto rows = document_.rowsOf(category_);
    if (rows != rows_) {
        beginResetModel();
        rows_ = std::move(rows);
        shown_.clear();
        for (int row = 0; row < rowCount(); ++row)
            shown_.push_back(rowAsShown(row));
        endResetModel();
        return;
    }
    // The same records: only the rows that look different are told, so a
    // cell being typed in stays open and a keystroke repaints one row.
    for (int row = 0; row < rowCount(); ++row) {
        QStringList now = rowAsShown(row);
        auto& was = shown_[static_cast<std::size_t>(row)];
        if (now != was) {
            was = std::move(now);
            emit dataChanged(index(row, 0), index(row, TableColumns - 1));
        }
    }
}

QStringList PriceTable::rowAsShown(int row) const
{
    QStringList out;
    for (int column = 0; column < TableColumns; ++column) {
        const QModelIndex at = index(row, column);
        out << data(at, Qt::DisplayRole).toString() << warnings(at);
    }
    return out;
}

int PriceTable::rowOf(std::size_t record) const
{
    const auto at = std::find(rows_.begin(), rows_.end(), record);
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

int PriceTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PriceTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : TableColumns;
}

QStringList PriceTable::warnings(const QModelIndex& index) const
{
    const std::size_t record = recordAt(index.row());
    const int field = fieldOf(index.column());
    QStringList out;
    for (const PriceFinding& f : document_.check().findings)
        if (f.record == static_cast<int>(record) + 1 && f.field == field)
            out << f.text;
    const PriceRecord& r = document_.list().entries[record].values;
    if (field % 2 == 0) {
        const int pair = (field - 2) / 2;
        if (r.price[pair].value() != 0)
            if (const auto wide = widths_.warning(category_, r.type[pair]))
                out << *wide;
    }
    return out;
}

QVariant PriceTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const PriceRecord& r = document_.list().entries[recordAt(index.row())].values;
    const int field = fieldOf(index.column());
    const bool isPrice = field % 2 == 1 && field > 1;
    const int pair = (field - 2) / 2;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (field == 1)
            // A brand the shop does not know shows as the file holds it, blanks and all.
            return knownBrandPosition(r.brand) ? r.brand.trimmed() : QStringLiteral("\"%1\"").arg(r.brand);
        if (isPrice)
            return r.price[pair].value() == 0 && role == Qt::DisplayRole ? NotSold
                                                                         : QString::number(r.price[pair].value());
        return r.type[pair];
    case Qt::TextAlignmentRole:
        return isPrice ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ForegroundRole:
        return isPrice && r.price[pair].value() == 0 ? QBrush(Qt::gray) : QVariant();
    case Qt::BackgroundRole:
        return warnings(index).isEmpty() ? QVariant() : QBrush(QColor(255, 236, 150));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QStringList w = warnings(index);
        return w.isEmpty() ? QVariant() : QVariant(QStringLiteral("Warning: ") + w.join(QStringLiteral(" Warning: ")));
    }
    default:
        return {};
    }
}

QVariant PriceTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return fieldName(fieldOf(section));
    return QString::number(section + 1);
}

Qt::ItemFlags PriceTable::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool PriceTable::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const std::size_t record = recordAt(index.row());
    const int field = fieldOf(index.column());
    const QString text = value.toString();
    PriceRecord r = document_.list().entries[record].values;
    QString what;
    if (field == 1) {
        const auto brand = knownBrandFor(text);
        if (!brand) {
            // The text a brand the shop does not know was read with stays as it is.
            if (text == QStringLiteral("\"%1\"").arg(r.brand))
                return true;
            emit refused(index, QStringLiteral("The shop knows only these brands: %1.").arg(knownBrandsInWords()));
            return false;
        }
        r.brand = *brand;
        what = QStringLiteral("Brand");
    } else if (field % 2 == 0) {
        if (const auto why = textRefusal(text)) {
            emit refused(index, *why);
            return false;
        }
        r.type[(field - 2) / 2] = text;
        what = QStringLiteral("Type");
    } else {
        const auto price = readPriceCell(text);
        if (const QString* why = std::get_if<QString>(&price)) {
            emit refused(index, *why);
            return false;
        }
        r.price[(field - 3) / 2] = Int16(std::get<int>(price));
        what = QStringLiteral("Price");
    }
    PriceList after = document_.list();
    after.setValues(record, r);
    if (after.entries[record].raw == document_.list().entries[record].raw &&
        !after.entries[record].raw.isEmpty())
        return true;  // the same value again
    const PriceRecord& was = document_.list().entries[record].values;
    if (!firstDifference(was, r))
        return true;
    document_.change(after, QStringLiteral("%1 in %2 %3").arg(what, categoryText(category_), r.brand.trimmed()),
                     cellKey(record, field));
    return true;
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    if (index.column() == 0) {
        auto* box = new QComboBox(parent);
        box->setAccessibleName(QStringLiteral("Brand"));
        for (const QString& b : KnownBrand())
            box->addItem(b.trimmed());
        connect(box, &QComboBox::activated, this, [this, box] { emit const_cast<CellDelegate*>(this)->commitData(box); });
        return box;
    }
    auto* line = new QLineEdit(parent);
    line->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString());
    connect(line, &QLineEdit::textEdited, this, [this, line] { emit const_cast<CellDelegate*>(this)->commitData(line); });
    return line;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString value = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        if (box->findText(value) < 0)
            box->insertItem(0, index.data(Qt::DisplayRole).toString());
        box->setCurrentIndex(std::max(0, box->findText(value)));
        return;
    }
    auto* line = static_cast<QLineEdit*>(editor);
    // Keystrokes go to the list as they are typed; putting the same text
    // back would move the cursor.
    if (line->text() != value)
        line->setText(value);
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentText());
        return;
    }
    auto* line = static_cast<QLineEdit*>(editor);
    if (!model->setData(index, line->text())) {
        // Refused: the cell goes back to what the list holds.
        const int at = line->cursorPosition();
        line->setText(index.data(Qt::EditRole).toString());
        line->setCursorPosition(std::max(0, at - 1));
    }
}

} // namespace plimbo::prices
