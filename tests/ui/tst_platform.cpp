// The real dialogs behind the seam: titled "Plimbo", one OK button and no
// icon for messages, an empty answer for a cancelled password prompt.

#include "ui/platform.h"

#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs `act` on the modal dialog once it is open, then closes any dialog
// still open. A dialog that never shows as modal within the limit fails the
// test, and is closed all the same: no test waits on a loop nobody ends.
void whenOpen(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, clock, act = std::move(act)] {
        QWidget* dialog = QApplication::activeModalWidget();
        const bool late = clock->elapsed() > 5000;
        if (!dialog && !late)
            return;
        poll->deleteLater();
        delete clock;
        if (dialog)
            act(dialog);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* open = qobject_cast<QDialog*>(w); open && open->isVisible())
                open->reject();
        QVERIFY2(dialog, "no modal dialog opened within 5 s");
    });
    poll->start(10);
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void messageBoxHasTitleOneButtonNoIcon()
    {
        ui::QtPlatform platform;
        QString title, text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Warning;
        whenOpen([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            buttons = box->buttons().size();
            icon = box->icon();
            // A screen reader reads a message box out as an alert, title and text.
            QCOMPARE(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::AlertMessage);
            box->accept();
        });
        platform.messageBox(QStringLiteral("You must select a Brand"));
        QCOMPARE(title, QStringLiteral("Plimbo"));
        QCOMPARE(text, QStringLiteral("You must select a Brand"));
        QCOMPARE(buttons, 1);
        QCOMPARE(icon, QMessageBox::NoIcon);
    }

    void inputBoxAnswers_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("answer");
        QTest::newRow("typed and confirmed") << true << "Kip";
        QTest::newRow("typed and cancelled") << false << "";
    }
    void inputBoxAnswers()
    {
        QFETCH(bool, confirm);
        QFETCH(QString, answer);
        ui::QtPlatform platform;
        QString title, label, startedWith;
        whenOpen([&](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            label = dialog->labelText();
            startedWith = dialog->textValue();
            dialog->setTextValue(QStringLiteral("Kip"));
            confirm ? dialog->accept() : dialog->reject();
        });
        QCOMPARE(platform.inputBox(QStringLiteral("To exit the program, enter a Password")), answer);
        QCOMPARE(title, QStringLiteral("Plimbo"));
        QCOMPARE(label, QStringLiteral("To exit the program, enter a Password"));
        QCOMPARE(startedWith, QString());
    }

    void colourPickerOpensOnTheCurrentColour()
    {
        ui::QtPlatform platform;
        QColor shown;
        whenOpen([&](QWidget* w) {
            auto* dialog = qobject_cast<QColorDialog*>(w);
            QVERIFY(dialog);
            shown = dialog->currentColor();
            dialog->reject();
        });
        QCOMPARE(platform.pickColour(QColor(128, 128, 255)), std::nullopt);
        QCOMPARE(shown, QColor(128, 128, 255));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
