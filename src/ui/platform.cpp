#include "platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace ui {

void QtPlatform::messageBox(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok);
    box.exec();
}

QString QtPlatform::inputBox(const QString& prompt)
{
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, ApplicationTitle, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

std::optional<QColor> QtPlatform::pickColour(const QColor& current)
{
    const QColor picked = QColorDialog::getColor(current, nullptr);
    if (!picked.isValid())
        return std::nullopt;
    return picked;
}

void QtPlatform::exit(int status)
{
    QCoreApplication::exit(status);
}

} // namespace ui
