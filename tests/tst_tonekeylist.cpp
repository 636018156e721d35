#include "keycapture/mylineedit.h"
#include "keycapture/tonekeydialog.h"
#include "messageboxcatcher.h"
#include "schemes/mylistwidgetitem.h"
#include "tolvaninspector.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString arrow = QStringLiteral("         ---->         ");

// Plays the user's part in the next pair dialog: presses the keys into the two fields, then OK
// (or Cancel). Counts the dialogs it answered.
class PairDialogAnswerer
{
public:
    void answer(std::function<void(ToneKeyDialog *)> actions)
    {
        QTimer::singleShot(0, [this, actions] {
            auto *dialog = qobject_cast<ToneKeyDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++opened;
            title = dialog->windowTitle();
            fromWasEmpty = dialog->fromLineEdit->text().isEmpty() && dialog->fromLineEdit->key == 0;
            actions(dialog);
        });
    }
    void pair(Qt::Key from, Qt::Key to)
    {
        answer([from, to](ToneKeyDialog *dialog) {
            QTest::keyClick(dialog->fromLineEdit, from);
            QTest::keyClick(dialog->toLineEdit, to);
            dialog->okButton->click();
        });
    }
    void cancel()
    {
        answer([](ToneKeyDialog *dialog) { dialog->cancelButton->click(); });
    }

    int opened = 0;
    QString title;
    bool fromWasEmpty = false;
};

// Each line of the list as "text|from|to".
QString line(const QString &text, quint32 from, quint32 to)
{
    return QStringLiteral("%1|%2|%3").arg(text).arg(from).arg(to);
}

QStringList lines(const QListWidget *list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row) {
        const auto *item = static_cast<const MyListWidgetItem *>(list->item(row));
        result << line(item->text(), item->from, item->to);
    }
    return result;
}

} // namespace

class TestToneKeyList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newPair_data();
    void newPair();
    void hundredPairsAndNoMore();
    void editKeepsThePosition();
    void deleteForgetsTheItem();
    void deleteWithNothingRemembered();
    void cancelDropsNewPairs();
    void switchingKeepsPairsInTheSchemeLeft();

private:
    void clickRow(int row);

    std::unique_ptr<Tolvan> window;
    PairDialogAnswerer dialogs;
};

void TestToneKeyList::init()
{
    HookDouble::reset();
    dialogs = PairDialogAnswerer();
    window = std::make_unique<Tolvan>();
    window->show();
    window->advanceOptionButton->click();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestToneKeyList::cleanup()
{
    window.reset();
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestToneKeyList::clickRow(int row)
{
    QListWidget *list = window->toneKeyListWidget;
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestToneKeyList::newPair_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("fromCode");
    QTest::addColumn<quint32>("toCode");

    QTest::newRow("A to B") << int(Qt::Key_A) << int(Qt::Key_B) << "a" + arrow + "b" << 65u << 66u;
    QTest::newRow("F5 to keypad-free Home")
        << int(Qt::Key_F5) << int(Qt::Key_Home) << "F5" + arrow + "Home" << 116u << 36u;
    QTest::newRow("no keys captured") << 0 << 0 << arrow << 0u << 0u;
}

void TestToneKeyList::newPair()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, text);
    QFETCH(quint32, fromCode);
    QFETCH(quint32, toCode);

    dialogs.answer([from, to](ToneKeyDialog *dialog) {
        if (from)
            QTest::keyClick(dialog->fromLineEdit, Qt::Key(from));
        if (to)
            QTest::keyClick(dialog->toLineEdit, Qt::Key(to));
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    });
    QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);

    QCOMPARE(dialogs.opened, 1);
    QCOMPARE(dialogs.title, QStringLiteral("new"));
    QCOMPARE(lines(window->toneKeyListWidget), QStringList {line(text, fromCode, toCode)});
    QVERIFY(!window->advanceEditButton->isEnabled());
}

void TestToneKeyList::hundredPairsAndNoMore()
{
    for (int i = 0; i < 99; ++i) {
        auto *item = new MyListWidgetItem;
        item->setText(QString::number(i));
        window->toneKeyListWidget->addItem(item);
    }
    dialogs.pair(Qt::Key_X, Qt::Key_Y);
    QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);
    QCOMPARE(dialogs.opened, 1);
    QCOMPARE(window->toneKeyListWidget->count(), 100);
    QCOMPARE(lines(window->toneKeyListWidget).last(), line("x" + arrow + "y", 88, 89));

    MessageBoxCatcher catcher;
    QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);
    QCOMPARE(catcher.summaries(), QStringList {"too many|god, do you have so many?"});
    QCOMPARE(catcher.boxes.first().icon, QMessageBox::Warning);
    QCOMPARE(dialogs.opened, 1);
    QCOMPARE(window->toneKeyListWidget->count(), 100);
}

void TestToneKeyList::editKeepsThePosition()
{
    for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C}) {
        dialogs.pair(key, Qt::Key_F1);
        QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);
    }
    clickRow(1);
    QVERIFY(window->advanceEditButton->isEnabled());
    QVERIFY(window->advanceDeleteButton->isEnabled());

    dialogs.pair(Qt::Key_Z, Qt::Key_F2);
    QTest::mouseClick(window->advanceEditButton, Qt::LeftButton);
    QCOMPARE(dialogs.title, QStringLiteral("edit"));
    QVERIFY(dialogs.fromWasEmpty);
    QCOMPARE(lines(window->toneKeyListWidget),
        QStringList({line("a" + arrow + "F1", 65, 112), line("z" + arrow + "F2", 90, 113),
            line("c" + arrow + "F1", 67, 112)}));

    // A rejected edit changes nothing; the item stays remembered for the next one.
    dialogs.cancel();
    QTest::mouseClick(window->advanceEditButton, Qt::LeftButton);
    QCOMPARE(lines(window->toneKeyListWidget).at(1), line("z" + arrow + "F2", 90, 113));
    QCOMPARE(TolvanInspector::currentToneKeyItem(*window), window->toneKeyListWidget->item(1));
}

void TestToneKeyList::deleteForgetsTheItem()
{
    for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C}) {
        dialogs.pair(key, Qt::Key_F1);
        QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);
    }
    clickRow(0);
    QTest::mouseClick(window->advanceDeleteButton, Qt::LeftButton);
    QCOMPARE(window->toneKeyListWidget->count(), 2);
    QCOMPARE(window->toneKeyListWidget->item(0)->text(), "b" + arrow + "F1");
    QVERIFY(!window->advanceEditButton->isEnabled());
    QVERIFY(!window->advanceDeleteButton->isEnabled());
    QCOMPARE(TolvanInspector::currentToneKeyItem(*window), nullptr);

    // An Edit that still got through would find nothing to write into.
    QMetaObject::invokeMethod(window.get(), "advanceEditButtonClicked");
    QCOMPARE(dialogs.opened, 3);

    clickRow(1);
    QVERIFY(window->advanceEditButton->isEnabled());
    QVERIFY(window->advanceDeleteButton->isEnabled());
}

void TestToneKeyList::deleteWithNothingRemembered()
{
    MessageBoxCatcher catcher;
    QMetaObject::invokeMethod(window.get(), "advanceDeleteButtonClicked");
    QCOMPARE(catcher.summaries(), QStringList {"tip|no item has been deleted"});
    QCOMPARE(catcher.boxes.first().icon, QMessageBox::Information);
}

void TestToneKeyList::cancelDropsNewPairs()
{
    dialogs.pair(Qt::Key_A, Qt::Key_B);
    QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);
    clickRow(0);

    QTest::mouseClick(window->cancelButton, Qt::LeftButton);
    QCOMPARE(window->toneKeyListWidget->count(), 0);
    QCOMPARE(TolvanInspector::schemes(*window).first().toneKeys.size(), 0);
    QCOMPARE(TolvanInspector::currentToneKeyItem(*window), nullptr);
    QVERIFY(!window->advanceEditButton->isEnabled());
}

void TestToneKeyList::switchingKeepsPairsInTheSchemeLeft()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    dialogs.pair(Qt::Key_A, Qt::Key_B);
    QTest::mouseClick(window->advanceNewButton, Qt::LeftButton);
    clickRow(0);

    window->schemeComboBox->setCurrentIndex(0);
    QCOMPARE(window->toneKeyListWidget->count(), 0);
    QCOMPARE(TolvanInspector::currentToneKeyItem(*window), nullptr);
    QVERIFY(!window->advanceEditButton->isEnabled());
    const QList<ToneKey> kept = TolvanInspector::schemes(*window).at(1).toneKeys;
    QCOMPARE(kept.size(), 1);
    QCOMPARE(line(kept.first().toneKeyText, kept.first().from, kept.first().to),
        line("a" + arrow + "b", 65, 66));

    window->schemeComboBox->setCurrentIndex(1);
    QCOMPARE(lines(window->toneKeyListWidget), QStringList {line("a" + arrow + "b", 65, 66)});
}

QTEST_MAIN(TestToneKeyList)
#include "tst_tonekeylist.moc"
