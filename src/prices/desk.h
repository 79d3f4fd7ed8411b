#pragma once
// The editor's seam to the owner: every modal question, file choice and
// message goes through a Desk. The real one shows Qt dialogs; tests put in
// one that answers from a script, so no window ever blocks.

#include "pricelist.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace plimbo::prices {

class Desk {
public:
    enum class Answer { Save, Discard, Cancel };

    virtual ~Desk() = default;
    virtual void message(const QString& text) = 0;
    // Save / Discard / Cancel for the unsaved changes of `name`.
    virtual Answer askToSave(const QString& name) = 0;
    // Yes or no; no is the safe answer.
    virtual bool confirm(const QString& text) = 0;
    // A file to read or to write; empty when cancelled.
    virtual QString fileToOpen(const QString& title, const QString& filter, const QString& folder) = 0;
    virtual QString fileToSave(const QString& title, const QString& filter, const QString& suggested) = 0;
    // Edit > Change prices: the change, for one of `brands` ("Adult Nike"),
    // a category or the whole list; none when cancelled.
    virtual std::optional<PriceChange> priceChange(const QList<std::pair<Category, QString>>& brands) = 0;
};

class QtDesk final : public Desk {
public:
    // Dialogs open over `window` once it is set.
    void setWindow(QWidget* window) { window_ = window; }
    void message(const QString& text) override;
    Answer askToSave(const QString& name) override;
    bool confirm(const QString& text) override;
    QString fileToOpen(const QString& title, const QString& filter, const QString& folder) override;
    QString fileToSave(const QString& title, const QString& filter, const QString& suggested) override;
    std::optional<PriceChange> priceChange(const QList<std::pair<Category, QString>>& brands) override;

private:
    QWidget* window_ = nullptr;
};

// The title of the editor's window and messages.
inline const QString EditorTitle = QStringLiteral("Plimbo Price List");

} // namespace plimbo::prices
