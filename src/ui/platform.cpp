#include "platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

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

void QtPlatform::log(const QString& line)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(line));
    std::fflush(stderr);
}

} // namespace ui
