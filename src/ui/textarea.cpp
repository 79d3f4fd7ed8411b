#include "textarea.h"

#include <QTextDocument>
#include <QTextOption>

namespace ui {

TextArea::TextArea(Qt::Alignment alignment, QWidget* parent) : QTextEdit(parent)
{
    // Every paragraph takes the box's alignment, without a pass of its own.
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(alignment);
    document()->setDefaultTextOption(option);
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
}

} // namespace ui
