#pragma once
// The list open in the editor: where it came from, its changes as steps that
// can be undone, and what the shop will make of it as it stands.

#include "pricelist.h"

#include <QObject>
#include <QUndoStack>

namespace plimbo::prices {

class EditorDocument : public QObject {
    Q_OBJECT
public:
    explicit EditorDocument(QObject* parent = nullptr);

    const PriceList& list() const { return list_; }
    const PriceCheck& check() const { return check_; }
    const std::vector<RecordFate>& fates() const { return fates_; }
    QUndoStack& undoStack() { return undo_; }
    // The file the list is saved to; empty for a new list not yet saved.
    const QString& path() const { return path_; }
    bool modified() const { return !undo_.isClean(); }

    // Starts afresh on `list`, with no steps to undo.
    void load(const PriceList& list, const QString& path);
    // One step that can be undone: the list becomes `after`. Steps with the
    // same cell key follow each other into one, as typing in one cell does.
    void change(const PriceList& after, const QString& what, int cellKey = -1);
    // After a save: the list as written, and the path it went to.
    void saved(const PriceList& written, const QString& path);

    // The records the shop takes into a category's table, by file position.
    std::vector<std::size_t> rowsOf(Category c) const;

    // Puts the list in place without making a step (undo and redo use it).
    void set(const PriceList& list);

signals:
    void changed();

private:
    PriceList list_;
    PriceCheck check_;
    std::vector<RecordFate> fates_;
    QUndoStack undo_;
    QString path_;
};

// The key for typing in one cell: a record's field.
inline int cellKey(std::size_t record, int field) { return static_cast<int>(record) * 16 + field; }

} // namespace plimbo::prices
