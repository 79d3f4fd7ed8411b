#include "editordocument.h"

namespace plimbo::prices {

namespace {

class Step final : public QUndoCommand {
public:
    Step(EditorDocument& document, PriceList before, PriceList after, const QString& what, int key)
        : QUndoCommand(what), document_(document), before_(std::move(before)), after_(std::move(after)), key_(key)
    {
    }
    void undo() override { document_.set(before_); }
    void redo() override { document_.set(after_); }
    int id() const override { return key_ >= 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const Step*>(other);
        if (next->key_ != key_)
            return false;
        after_ = next->after_;
        return true;
    }

private:
    EditorDocument& document_;
    PriceList before_, after_;
    int key_;
};

} // namespace

EditorDocument::EditorDocument(QObject* parent) : QObject(parent)
{
    set(PriceList::fresh());
    undo_.setClean();
}

void EditorDocument::load(const PriceList& list, const QString& path)
{
    path_ = path;
    undo_.clear();
    set(list);
    undo_.setClean();
}

void EditorDocument::change(const PriceList& after, const QString& what, int cellKey)
{
    undo_.push(new Step(*this, list_, after, what, cellKey));
}

void EditorDocument::saved(const PriceList& written, const QString& path)
{
    path_ = path;
    // What was dropped on saving (the unreadable rest) cannot come back by undo.
    if (list_.refusal && !written.refusal)
        undo_.clear();
    list_.refusal = written.refusal;
    list_.entries = written.entries;
    list_.prefix = written.prefix;
    undo_.setClean();
    emit changed();
}

std::vector<std::size_t> EditorDocument::rowsOf(Category c) const
{
    const RecordFate taken = c == Category::Adult ? RecordFate::AcceptedAdult : RecordFate::AcceptedChild;
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < fates_.size(); ++i)
        if (fates_[i] == taken)
            rows.push_back(i);
    return rows;
}

void EditorDocument::set(const PriceList& list)
{
    list_ = list;
    check_ = list_.check();
    fates_ = list_.fates();
    emit changed();
}

} // namespace plimbo::prices
