#pragma once
// A text box of several lines that keeps one alignment for all its text.

#include <QTextEdit>

namespace ui {

class TextArea : public QTextEdit {
    Q_OBJECT
public:
    explicit TextArea(Qt::Alignment alignment, QWidget* parent = nullptr);

    // Sets the text; CR LF and lone CR line ends become line breaks.
    void setText(const QString& text);
    QString text() const { return toPlainText(); }
};

} // namespace ui
