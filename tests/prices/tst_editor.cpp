// The editor's window on the offscreen platform, with a desk that answers
// from a script: typing at a cell, the unsaved-changes question, saving to a
// full disk and a read-only one, a refused list, and the command line.

#include "catalogue/pricefile.h"
#include "prices/editorwindow.h"
#include "prices/listcommands.h"
#include "prices/listfindings.h"
#include "prices/safesave.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace plimbo;
using namespace plimbo::prices;

namespace {

class ScriptedDesk final : public Desk {
public:
    void message(const QString& text) override { messages << text; }
    Answer askToSave(const QString& name) override
    {
        asked << name;
        return saveAnswers.empty() ? Answer::Cancel : take(saveAnswers);
    }
    bool confirm(const QString& text) override
    {
        asked << text;
        return !confirms.empty() && take(confirms);
    }
    QString fileToOpen(const QString&, const QString&, const QString&) override { return files.empty() ? QString() : take(files); }
    QString fileToSave(const QString&, const QString&, const QString&) override { return files.empty() ? QString() : take(files); }
    std::optional<PriceChange> priceChange(const QList<std::pair<Category, QString>>&) override { return change; }

    template <typename T>
    static T take(std::deque<T>& q)
    {
        T t = q.front();
        q.pop_front();
        return t;
    }
    std::deque<Answer> saveAnswers;
    std::deque<bool> confirms;
    std::deque<QString> files;
    std::optional<PriceChange> change;
    QStringList messages, asked;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray Sample = readAll(QStringLiteral(PLIMBO_SAMPLE_DIR "/PlimboPrice.txt"));

// Mounts made by a test stay with the test: set up before any thread starts.
bool privateMounts = false;

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path;
    ScriptedDesk desk;

    std::unique_ptr<EditorWindow> openSample()
    {
        path = dir.filePath(QStringLiteral("PlimboPrice.txt"));
        write(path, Sample);
        QFile::remove(backupPathFor(path));
        desk = {};
        auto w = std::make_unique<EditorWindow>(desk);
        w->show();
        w->activateWindow();
        [&] { QVERIFY(w->commands().openFile(path)); }();
        return w;
    }
    // Goes to the cell and opens its editor by keyboard (F2), then types
    // into it, a key at a time.
    static QLineEdit* typeAt(EditorWindow& w, int row, int column, const QString& keys)
    {
        const QModelIndex at = w.model(Category::Adult)->index(row, column);
        w.tblAdult->setFocus();
        w.tblAdult->setCurrentIndex(at);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last cell's editor
        QTest::keyClick(w.tblAdult, Qt::Key_F2);
        auto* editor = w.tblAdult->viewport()->findChild<QLineEdit*>();
        if (editor) {
            editor->selectAll();
            QTest::keyClicks(editor, keys);
        }
        return editor;
    }

private slots:
    void typingIsCheckedKeyByKey()
    {
        auto w = openSample();
        PriceTable* adult = w->model(Category::Adult);
        QVERIFY(typeAt(*w, 2, 1, QStringLiteral("Air \"Max")));  // Nike's Type 1
        QCOMPARE(adult->index(2, 1).data().toString(), QStringLiteral("Air Max"));
        QVERIFY2(w->lblCellMessage->text().contains(QLatin1String("double quote")), qPrintable(w->lblCellMessage->text()));
        // One undo step for the typing in one cell.
        QCOMPARE(w->document().undoStack().count(), 1);
        QVERIFY(w->isWindowModified());
        QVERIFY(w->windowTitle().startsWith(QLatin1String("PlimboPrice.txt[*] - Plimbo Price List")));

        QCOMPARE(TypeWidths().missing(), QStringList());  // the shop's controls it measures by are found
        typeAt(*w, 2, 3, QStringLiteral("Cross Trainer Deluxe"));
        QVERIFY2(adult->index(2, 3).data(Qt::AccessibleDescriptionRole).toString().contains(QLatin1String("too wide")),
                 qPrintable(adult->index(2, 3).data(Qt::ToolTipRole).toString()));
        typeAt(*w, 2, 5, QString::fromUtf8("CaÃ±Ã³n"));
        QVERIFY(adult->index(2, 5).data(Qt::ToolTipRole).toString().contains(QString::fromUtf8("\"Cañón\" saved as UTF-8")));
        QVERIFY(w->lblVerdict->text().startsWith(QLatin1String("The shop will not read this list as shown")));
        // The finding leads to its cell and offers the repair.
        desk.confirms = {true};
        auto* finding = w->lstFindings->findItems(QStringLiteral("saved as UTF-8"), Qt::MatchContains).value(0);
        QVERIFY(finding);
        w->lstFindings->setCurrentItem(finding);
        emit w->lstFindings->itemActivated(finding);
        QCOMPARE(adult->index(2, 5).data().toString(), QString::fromUtf8("Cañón"));
        // A brand typed without its blanks is the brand.
        QVERIFY(adult->setData(adult->index(3, 0), QStringLiteral("Converse")));
        QVERIFY(w->lstFindings->findItems(QStringLiteral("listed twice"), Qt::MatchContains).size() == 1);
        while (w->document().undoStack().canUndo())
            w->actUndo->trigger();
        QCOMPARE(w->document().list().bytes(), Sample);
        QCOMPARE(w->lblVerdict->text(), QStringLiteral("The shop will read this list as shown"));
        QVERIFY(!w->isWindowModified());
    }

    // Everything the keyboard reaches has a name a screen reader says.
    void everyControlHasAName()
    {
        auto w = openSample();
        int reached = 0;
        for (QWidget* control : w->findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisibleTo(w.get()))
                continue;
            ++reached;
            QAccessibleInterface* said = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(said && !said->text(QAccessible::Name).isEmpty(), control->metaObject()->className());
        }
        QCOMPARE(reached, 4);  // the two tables and the two lists
    }

    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("save") << int(Desk::Answer::Save) << true << true;
        QTest::newRow("discard") << int(Desk::Answer::Discard) << true << false;
        QTest::newRow("cancel") << int(Desk::Answer::Cancel) << false << false;
    }
    void unsavedChangesAreAskedAbout()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        auto w = openSample();
        QVERIFY(w->model(Category::Child)->setData(w->model(Category::Child)->index(0, 2), QStringLiteral("36")));
        desk.saveAnswers = {Desk::Answer(answer)};
        QCOMPARE(w->close(), closes);
        QCOMPARE(desk.asked, QStringList{QStringLiteral("PlimboPrice.txt")});
        QCOMPARE(readAll(path).contains("\"Child\",\"Addidas \",\"Running\",36,"), written);
        QCOMPARE(QFileInfo::exists(backupPathFor(path)), written);
        // Opening another list over the changes asks the same way.
        if (!closes) {
            desk.saveAnswers = {Desk::Answer::Cancel};
            QVERIFY(!w->commands().newList());
            QCOMPARE(w->model(Category::Child)->index(0, 2).data().toString(), QStringLiteral("36"));
        }
    }

    void savingNeverLeavesHalfAList_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QStringList>("left");
        const QStringList list{QStringLiteral("PlimboPrice.txt")};
        // Room for the old list's copy, none for the new list.
        QTest::newRow("full disk") << "full" << "the disk is full (writing: No space" << list + QStringList{QStringLiteral("PlimboPrice.bak")};
        QTest::newRow("full disk, not even for the old list's copy") << "full, no room" << "the disk is full (writing while keeping the old one as PlimboPrice.bak" << list;
        QTest::newRow("read-only folder") << "ro" << "the disk is read-only" << list;
    }
    void savingNeverLeavesHalfAList()
    {
        QFETCH(QString, options);
        QFETCH(QString, says);
        QFETCH(QStringList, left);
        if (!privateMounts)
            QSKIP("a full or read-only disk is mounted for this test, which needs root");
        QTemporaryDir stick;
        QVERIFY(::mount("tmpfs", QFile::encodeName(stick.path()).constData(), "tmpfs", 0, "size=64k") == 0);
        const QString list = QDir(stick.path()).filePath(QStringLiteral("PlimboPrice.txt"));
        write(list, Sample);
        if (options == QLatin1String("ro")) {
            QVERIFY(::mount(nullptr, QFile::encodeName(stick.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        } else {
            QFile filler(QDir(stick.path()).filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
            }
            filler.close();
            const qint64 filled = QFileInfo(filler.fileName()).size() / 4096 * 4096;
            if (options == QLatin1String("full"))
                QVERIFY(QFile::resize(filler.fileName(), filled - 4096));  // one page free
        }
        desk = {};
        EditorWindow w(desk);
        QVERIFY(w.commands().openFile(list));
        QVERIFY(w.model(Category::Adult)->setData(w.model(Category::Adult)->index(0, 2), QStringLiteral("66")));
        QVERIFY(!w.commands().save());
        const QString said = desk.messages.join(QLatin1Char('\n'));
        QVERIFY2(said.startsWith(QLatin1String("The price list was not saved.")) && said.contains(says) &&
                     said.contains(QLatin1String("The file on the disk is as it was.")),
                 qPrintable(said));
        qInfo("%s: %s", qPrintable(options), qPrintable(QString(said).replace(QLatin1Char('\n'), QLatin1String(" / "))));
        QCOMPARE(readAll(list), Sample);
        QCOMPARE(QDir(stick.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::Reversed)
                     .filter(QStringLiteral("PlimboPrice")),
                 left);
        QVERIFY(w.isWindowModified());
        w.document().undoStack().setClean();  // nothing to ask on the way out
        QVERIFY(::umount2(QFile::encodeName(stick.path()).constData(), MNT_DETACH) == 0);
    }

    void aRefusedListKeepsWhatCanBeRead()
    {
        const QString refused = dir.filePath(QStringLiteral("Refused.txt"));
        const QByteArray first = Sample.left(Sample.indexOf('\n') + 1);
        write(refused, first + "\"Adult\",\"Nike    \",\"Running\",80\r\n" + Sample.mid(first.size()));
        desk = {};
        EditorWindow w(desk);
        QVERIFY(w.commands().openFile(refused));
        QVERIFY(desk.messages.value(0).contains(QLatin1String("Record 2 (line 2) has only 4 of its 12 fields")));
        QCOMPARE(w.model(Category::Adult)->rowCount(), 1);
        QVERIFY(w.lblVerdict->text().startsWith(QLatin1String("The shop refuses this list")));
        desk.confirms = {false};
        QVERIFY(!w.commands().save());
        QVERIFY(readAll(refused).size() > first.size());
        desk.confirms = {true};
        const QByteArray whole = readAll(refused);
        QVERIFY(w.commands().save());
        QVERIFY2(desk.asked.last().contains(QStringLiteral("is kept as %1.").arg(backupPathFor(refused))), qPrintable(desk.asked.last()));
        QCOMPARE(readAll(refused), first);
        QCOMPARE(w.lblVerdict->text(), QStringLiteral("The shop will read this list as shown"));
        // The next save keeps that backup unless the owner says to replace it.
        QVERIFY(w.model(Category::Adult)->setData(w.model(Category::Adult)->index(0, 2), QStringLiteral("66")));
        desk.confirms = {false};
        QVERIFY(w.commands().save());
        QVERIFY(desk.asked.last().contains(QLatin1String("holds a list whose rest could not be read")));
        QVERIFY(w.lblCellMessage->text().endsWith(QLatin1String("Refused.bak is kept as it was.")));
        QCOMPARE(readAll(backupPathFor(refused)), whole);
    }

    // The repairs the findings offer, by the commands alone, without a
    // window: each goes through what typing the repaired text would meet.
    void repairsAreRefusedAsTypingIs_data()
    {
        QTest::addColumn<QByteArray>("record");  // its category, brand and first pair, as the file holds them
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("becomes");    // empty: nothing changes
        QTest::addColumn<QString>("says");
        QTest::newRow("a type saved as UTF-8") << QByteArray("\"Adult\",\"Nike    \",\"Ca\xC3\xB1\xC3\xB3n\",80") << 2
                                                << "Cañón" << "Put \"Cañón\" in its place?";
        QTest::newRow("one the file cannot hold") << QByteArray("\"Adult\",\"Nike    \",\"\xC5\x81\xC3\xB3\x64\xC5\xBA\",80") << 2
                                                  << "" << "the price list cannot hold \"Łódź\". The price list cannot hold the character \"Ł\"";
        QTest::newRow("a category in small letters") << QByteArray("\"adult\",\"Nike    \",\"Tennis\",80") << 0 << "Adult"
                                                     << "Record 1's category \"adult\" is \"Adult\" written otherwise";
        QTest::newRow("a category with no plain repair") << QByteArray("\"Kids\",\"Nike    \",\"Tennis\",80") << 0 << "" << "";
    }
    void repairsAreRefusedAsTypingIs()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, field);
        QFETCH(QString, becomes);
        QFETCH(QString, says);
        ScriptedDesk answers;
        answers.confirms = {true};
        EditorDocument document;
        ListCommands commands(answers, document);
        const QByteArray bytes = record + ",\"\",0,\"\",0,\"\",0,\"\",0\r\n";
        document.load(PriceList::fromBytes(bytes, QString()), QString());
        const PriceRecord was = document.list().entries[0].values;
        if (field == 0) {  // a record the shop passes over shows whole, and its repair when it has one
            const QString line = describeList(document, [](Category, const QString&) { return std::nullopt; }).skipped.at(0).text;
            QVERIFY2(line.contains(QStringLiteral("\", \"Nike    \", \"Tennis\" 80)")), qPrintable(line));
            QCOMPARE(line.contains(QLatin1String("Enter makes it \"Adult\".")), !becomes.isEmpty());
        }
        QCOMPARE(commands.repair(0, field), !becomes.isEmpty());
        QVERIFY2((answers.asked + answers.messages).join(QLatin1Char('\n')).contains(says), qPrintable(answers.messages.join(QLatin1Char('\n'))));
        const PriceRecord& now = document.list().entries[0].values;
        QCOMPARE(field == 0 ? now.category : now.type[0], becomes.isEmpty() ? (field == 0 ? was.category : was.type[0]) : becomes);
        document.undoStack().undo();
        QCOMPARE(document.list().bytes(), bytes);
    }

    void importAndChangePricesAreOneStepEach()
    {
        auto w = openSample();
        const QString csv = dir.filePath(QStringLiteral("prices.csv"));
        write(csv, "Category;Brand;Type 1;Price 1;Type 2;Price 2;Type 3;Price 3;Type 4;Price 4;Type 5;Price 5\n"
                   "Adult;Nike;Cañón;80;;;;;;;;\nAdult;Puma;Running;10;;;;;;;;\n");
        desk.files = {csv};
        QVERIFY(!w->commands().importSpreadsheet());
        QVERIFY(desk.messages.last().startsWith(QLatin1String("Nothing was imported: one thing of prices.csv")));
        QVERIFY(desk.messages.last().contains(QLatin1String("Row 3, Brand: \"Puma\"")));
        QCOMPARE(w->document().list().bytes(), Sample);
        write(csv, "Category;Brand;Type 1;Price 1;Type 2;Price 2;Type 3;Price 3;Type 4;Price 4;Type 5;Price 5\n"
                   "Adult;Nike;Cañón;80;;;;;;;;\n");
        desk.files = {QStringLiteral("/dev/zero")};
        QVERIFY(!w->commands().importSpreadsheet());
        QCOMPARE(desk.messages.last(), QStringLiteral("Nothing was imported: /dev/zero could not be read: It is a character device, not a file."));
        desk.files = {csv};
        QVERIFY(w->commands().importSpreadsheet());
        QVERIFY(desk.messages.last().endsWith(QLatin1String("from prices.csv, read as UTF-8 text. Save to keep them.")));
        QCOMPARE(w->document().list().bytes(), QByteArray("\"Adult\",\"Nike    \",\"Ca\xF1\xF3n\",80,\"\",0,\"\",0,\"\",0,\"\",0\r\n"));
        desk.change = PriceChange{PriceChange::Percent, 1000, std::nullopt, std::nullopt};
        QVERIFY(w->commands().changePrices());
        QCOMPARE(w->model(Category::Adult)->index(0, 2).data().toString(), QStringLiteral("88"));
        QCOMPARE(w->document().undoStack().count(), 2);
        w->actUndo->trigger();
        w->actUndo->trigger();
        QCOMPARE(w->document().list().bytes(), Sample);
        w->document().undoStack().setClean();
    }

    void showToCustomersRunsTheShopOnTheEditedList()
    {
        auto w = openSample();
        const QString seen = dir.filePath(QStringLiteral("seen.txt"));
        const QString shop = dir.filePath(QStringLiteral("shop.sh"));
        write(shop, "#!/bin/sh\ncp \"$PLIMBO_DRIVE_A/PlimboPrice.txt\" '" + QFile::encodeName(seen) + "'\n");
        QFile::setPermissions(shop, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PLIMBO_SHOP_PROGRAM", QFile::encodeName(shop));
        QVERIFY(w->model(Category::Adult)->setData(w->model(Category::Adult)->index(0, 2), QStringLiteral("66")));
        QVERIFY(w->showToCustomers());
        auto* shown = w->findChild<QProcess*>(QStringLiteral("shopShown"));
        QVERIFY(shown && shown->waitForFinished(10000));
        QCOMPARE(readAll(seen), w->document().list().bytes());
        QCOMPARE(readAll(path), Sample);
        QTRY_VERIFY(!w->findChild<QProcess*>(QStringLiteral("shopShown")));  // its private folder went with it
        w->document().undoStack().setClean();
    }

    void theCommandLineWritesOrRefuses()
    {
        const auto run = [](const QStringList& args, QString* said = nullptr) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(QStringLiteral(PLIMBO_PRICES_PROGRAM), args);
            p.waitForFinished(20000);
            if (said)
                *said = QString::fromUtf8(p.readAllStandardOutput());
            return p.exitCode();
        };
        const QString list = dir.filePath(QStringLiteral("cli.txt")), csv = dir.filePath(QStringLiteral("cli.csv"));
        write(list, Sample);
        QCOMPARE(run({QStringLiteral("--export"), list, QStringLiteral("-o"), csv}), 0);
        QByteArray sheet = readAll(csv);
        sheet.replace("Adult,Nike,Running,80,", "Adult,Nike,Running,81,");
        write(csv, sheet + "Adult,Nike,Running,ten,,,,,,,,\r\n");
        QString err;
        QCOMPARE(run({QStringLiteral("--import"), csv, QStringLiteral("-o"), list}, &err), 2);
        QVERIFY2(err.contains(QLatin1String("Row 12, Price 1: \"ten\"")) && err.contains(QLatin1String("Nothing was imported")),
                 qPrintable(err));
        QCOMPARE(readAll(list), Sample);
        write(csv, sheet);
        QCOMPARE(run({QStringLiteral("--import"), csv, QStringLiteral("-o"), list}), 0);
        QByteArray expected = Sample;
        expected.replace("\"Running\",80,", "\"Running\",81,");
        QCOMPARE(readAll(list), expected);
        QCOMPARE(readAll(backupPathFor(list)), Sample);
        // Over a list the shop refuses, that list is kept whole as the
        // backup, which the next import does not replace.
        const QByteArray refused = Sample + "\"Adult\",\"Nike    \",\"Running\"\r\n";
        write(list, refused);
        QCOMPARE(run({QStringLiteral("--import"), csv, QStringLiteral("-o"), list}, &err), 0);
        QVERIFY2(err.contains(QStringLiteral("record 11 on; it is kept whole as %1.").arg(backupPathFor(list))), qPrintable(err));
        QCOMPARE(run({QStringLiteral("--import"), csv, QStringLiteral("-o"), list}, &err), 0);
        QVERIFY2(err.contains(QLatin1String("is kept as it was; no new backup was made.")), qPrintable(err));
        QCOMPARE(readAll(backupPathFor(list)), refused);
        QCOMPARE(run({QStringLiteral("--export"), QStringLiteral(PLIMBO_SAMPLE_DIR), QStringLiteral("-o"), csv}, &err), 2);
        QVERIFY(err.contains(QLatin1String("It is a folder, not a file.")));
        QCOMPARE(run({QStringLiteral("--import"), csv}), 2);
        // Only a file is replaced, never a pipe or a device of that name.
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QCOMPARE(run({QStringLiteral("--export"), list, QStringLiteral("-o"), pipe}, &err), 2);
        QVERIFY2(err.contains(QLatin1String("pipe was not written: it is not a file.")), qPrintable(err));
        QVERIFY(!QFileInfo(pipe).isFile());
        // Nor is anything but a file imported: not a pipe nobody writes to, nor a device without end.
        QCOMPARE(run({QStringLiteral("--import"), pipe, QStringLiteral("-o"), list}, &err), 2);
        QVERIFY2(err.contains(QLatin1String("pipe could not be read: It is a named pipe (FIFO), not a file.")), qPrintable(err));
        QCOMPARE(run({QStringLiteral("--import"), QStringLiteral("/dev/zero"), QStringLiteral("-o"), list}, &err), 2);
        QVERIFY2(err.contains(QLatin1String("It is a character device, not a file.")), qPrintable(err));
    }
};

int main(int argc, char* argv[])
{
    // A mount namespace of the test's own, for the full and read-only disks.
    privateMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                    ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    QApplication app(argc, argv);
    TestEditor test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editor.moc"
