#include "textarea.h"

#include <QTextBlockFormat>
#include <QTextCursor>

namespace ui {

TextArea::TextArea(Qt::Alignment alignment, QWidget* parent) : QTextEdit(parent), alignment_(alignment)
{
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TextArea::setText(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(plain);
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment_);
    cursor.mergeBlockFormat(format);
    moveCursor(QTextCursor::Start);
}

} // namespace ui
