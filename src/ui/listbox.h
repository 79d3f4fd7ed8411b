#pragma once
// A single-choice list box. Click() is sent when the customer changes the
// selection; rows added, removed or selected by the program send nothing.
// A swipe scrolls it, as on a touch screen.

#include <QListWidget>

namespace ui {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // The selected row, -1 when none is.
    int ListIndex() const;
    // Selects a row, or clears the selection with -1, without sending Click().
    void setListIndex(int row);
    // The selected row's text; empty when none is selected.
    QString selectedText() const;
    void AddItem(const QString& text);
    // Removes every row without sending Click(), keeping the list's one
    // accessible object for screen readers.
    void ClearWithoutClick();
    // Qt's own clear() sends Click() through the selection change: not for the shop.
    void clear() = delete;
    QStringList rows() const;

signals:
    void Click();
};

} // namespace ui
