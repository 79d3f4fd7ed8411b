#pragma once
// One category's table in the editor: a row for each record the shop takes
// into that category, in file order; the brand, then five type/price pairs.
// What the shop will make of a cell shows at the cell, as it is typed.

#include "editordocument.h"
#include "typewidth.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

namespace plimbo::prices {

inline constexpr int TableColumns = 1 + 2 * PairCount;

class PriceTable final : public QAbstractTableModel {
    Q_OBJECT
public:
    PriceTable(EditorDocument& document, const TypeWidths& widths, Category category, QObject* parent = nullptr);

    Category category() const { return category_; }
    EditorDocument& document() const { return document_; }
    // The record a row shows, by its place in the file.
    std::size_t recordAt(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    int rowOf(std::size_t record) const;
    // The record field (1..11) a column shows.
    static int fieldOf(int column) { return column + 1; }

    // What the shop will make of one cell, warnings first; empty when all is well.
    QStringList warnings(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A value the file cannot hold was typed; nothing changed.
    void refused(const QModelIndex& index, const QString& why);

private:
    void follow();
    // A row's texts and warnings, to tell which rows a change touched.
    QStringList rowAsShown(int row) const;

    EditorDocument& document_;
    const TypeWidths& widths_;
    Category category_;
    std::vector<std::size_t> rows_;
    std::vector<QStringList> shown_;
};

// Edits a cell as it is typed: every keystroke goes to the list at once (and
// is refused there when the file cannot hold it); the brand from the five
// the shop knows.
class CellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

} // namespace plimbo::prices
