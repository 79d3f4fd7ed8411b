#include "desk.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace plimbo::prices {

void QtDesk::message(const QString& text)
{
    QMessageBox::information(window_, EditorTitle, text);
}

Desk::Answer QtDesk::askToSave(const QString& name)
{
    const auto answer = QMessageBox::question(window_, EditorTitle,
                                              QStringLiteral("%1 has changes that are not saved. Save them?").arg(name),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    return answer == QMessageBox::Save ? Answer::Save : answer == QMessageBox::Discard ? Answer::Discard : Answer::Cancel;
}

bool QtDesk::confirm(const QString& text)
{
    return QMessageBox::question(window_, EditorTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

QString QtDesk::fileToOpen(const QString& title, const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileName(window_, title, folder, filter);
}

QString QtDesk::fileToSave(const QString& title, const QString& filter, const QString& suggested)
{
    return QFileDialog::getSaveFileName(window_, title, suggested, filter);
}

std::optional<PriceChange> QtDesk::priceChange(const QList<std::pair<Category, QString>>& brands)
{
    QDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("dlgChangePrices"));
    dialog.setWindowTitle(QStringLiteral("Change prices"));
    auto* percent = new QRadioButton(QStringLiteral("By a &percentage"), &dialog);
    auto* dollars = new QRadioButton(QStringLiteral("By a &dollar amount"), &dialog);
    percent->setChecked(true);
    auto* amount = new QDoubleSpinBox(&dialog);
    amount->setAccessibleName(QStringLiteral("Amount"));
    amount->setDecimals(2);
    amount->setRange(-100, 1000);
    amount->setSuffix(QStringLiteral(" %"));
    QObject::connect(dollars, &QRadioButton::toggled, amount, [amount](bool on) {
        amount->setRange(on ? -32767 : -100, on ? 32767 : 1000);
        amount->setSuffix(on ? QString() : QStringLiteral(" %"));
        amount->setPrefix(on ? QStringLiteral("$") : QString());
    });
    auto* scope = new QComboBox(&dialog);
    scope->setAccessibleName(QStringLiteral("Prices of"));
    scope->addItem(QStringLiteral("The whole list"));
    scope->addItem(categoryName(Category::Adult));
    scope->addItem(categoryName(Category::Child));
    for (const auto& [c, brand] : brands)
        scope->addItem(QStringLiteral("%1 %2").arg(categoryName(c), brand.trimmed()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Change"), percent);
    form->addRow(QString(), dollars);
    form->addRow(QStringLiteral("&Amount (a minus for less)"), amount);
    form->addRow(QStringLiteral("Prices &of"), scope);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    PriceChange change;
    change.kind = dollars->isChecked() ? PriceChange::Dollars : PriceChange::Percent;
    change.hundredths = std::llround(amount->value() * 100);
    const int at = scope->currentIndex();
    if (at == 1 || at == 2)
        change.category = at == 1 ? Category::Adult : Category::Child;
    else if (at >= 3) {
        change.category = brands[at - 3].first;
        change.brand = brands[at - 3].second;
    }
    return change;
}

} // namespace plimbo::prices
