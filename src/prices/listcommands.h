#pragma once
// The editor's commands on the list that need no window: opening and saving
// it, spreadsheets in and out, Change Prices, and the repairs the findings
// offer. Every question and message goes through the Desk, so each runs in a
// test without a window.

#include "desk.h"
#include "editordocument.h"

#include <QObject>

namespace plimbo::prices {

class ListCommands final : public QObject {
    Q_OBJECT
public:
    // Neither the desk nor the document is owned.
    ListCommands(Desk& desk, EditorDocument& document, QObject* parent = nullptr);

    // Each returns false when it did nothing (cancelled or failed).
    bool openFile(const QString& path);
    bool openChosen();
    bool newList();
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);
    bool importSpreadsheet();
    bool exportSpreadsheet();
    bool changePrices();
    // Offers the plain repair of a record's field, when it has one: a type
    // saved as UTF-8 ("CaÃ±Ã³n" is "Cañón"), a category in other letter
    // case ("adult" is "Adult"). One step to undo.
    bool repair(std::size_t record, int field);
    // Save / Discard / Cancel when there are unsaved changes; true when the
    // list may be put away.
    bool maybeSave();

    // The list's file name, or "New price list".
    QString shownName() const;

signals:
    // A line for the window to show and announce: "Saved ...".
    void said(const QString& text);

private:
    Desk& desk_;
    EditorDocument& document_;
};

} // namespace plimbo::prices
