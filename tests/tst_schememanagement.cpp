#include "keycapture/mylineedit.h"
#include "messageboxcatcher.h"
#include "tolvaninspector.h"

#include <QLineEdit>
#include <QtTest>

#include <memory>

class TestSchemeManagement : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newStoresTheFormAndShowsDefaults();
    void typingRenamesEntryAndScheme();
    void highlightEndsRenaming();
    void deleteShowsTheSuccessor_data();
    void deleteShowsTheSuccessor();
    void firstSchemeCannotBeDeleted();
    void everySwitchStopsTheHook();
    void cancelRestoresDefaultsAndKeepsTheName();
    void schemeWithWinShieldOffClearsTheRadioButton();

private:
    QStringList entries() const;
    QStringList names() const;

    std::unique_ptr<Tolvan> window;
};

void TestSchemeManagement::init()
{
    HookDouble::reset();
    window = std::make_unique<Tolvan>();
    window->show();
    window->advanceOptionButton->click();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestSchemeManagement::cleanup()
{
    window.reset();
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

QStringList TestSchemeManagement::entries() const
{
    QStringList result;
    for (int i = 0; i < window->schemeComboBox->count(); ++i)
        result << window->schemeComboBox->itemText(i);
    return result;
}

QStringList TestSchemeManagement::names() const
{
    QStringList result;
    for (const Scheme &scheme : TolvanInspector::schemes(*window))
        result << scheme.name;
    return result;
}

void TestSchemeManagement::newStoresTheFormAndShowsDefaults()
{
    QTest::keyClick(window->keypad7LineEdit, Qt::Key_A);
    QTest::keyClick(window->enemyBloodLineEdit, Qt::Key_F5);

    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);

    const QVector<Scheme> &schemes = TolvanInspector::schemes(*window);
    QCOMPARE(schemes.size(), 2);
    QCOMPARE(schemes.at(0).keypad7Text, QStringLiteral("a"));
    QCOMPARE(schemes.at(0).keypad7, 65u);
    QCOMPARE(schemes.at(0).enemyBloodText, QStringLiteral("F5"));
    QCOMPARE(schemes.at(0).enemyBlood, 116u);
    QCOMPARE(TolvanInspector::lastScheme(*window), 1);
    QCOMPARE(entries(), (QStringList {"默认方案", "new"}));
    QCOMPARE(names(), (QStringList {"默认方案", "new"}));
    QCOMPARE(window->windowTitle(), QStringLiteral("new - tolvan key change"));
    QVERIFY(window->keypad7LineEdit->text().isEmpty());
    QCOMPARE(window->keypad7LineEdit->key, 0u);
    QCOMPARE(window->enemyBloodLineEdit->text(), QStringLiteral("End"));
    QCOMPARE(window->toneKeyListWidget->count(), 0);
    QVERIFY(window->schemeComboBox->isEditable());
    QCOMPARE(window->schemeComboBox->currentText(), QStringLiteral("new"));
    QVERIFY(window->schemeDeleteButton->isEnabled());
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("unrunning"));
}

void TestSchemeManagement::typingRenamesEntryAndScheme()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    QComboBox *selector = window->schemeComboBox;
    QVERIFY(selector->lineEdit());
    QTest::mouseDClick(selector->lineEdit(), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), selector);
    QTest::keyClicks(selector, QStringLiteral("raid"));

    // Typing renames; it never adds an entry, and the title waits for the next showing.
    QCOMPARE(entries(), (QStringList {"默认方案", "raid"}));
    QCOMPARE(names(), (QStringList {"默认方案", "raid"}));
    QCOMPARE(window->windowTitle(), QStringLiteral("new - tolvan key change"));

    // Still editable: choosing another entry shows it and renames nothing.
    selector->setCurrentIndex(0);
    QCOMPARE(entries(), (QStringList {"默认方案", "raid"}));
    QCOMPARE(names(), (QStringList {"默认方案", "raid"}));
    selector->setCurrentIndex(1);
    QCOMPARE(window->windowTitle(), QStringLiteral("raid - tolvan key change"));

    // Typing now renames the scheme that is shown; Enter ends the typing.
    selector->lineEdit()->selectAll();
    QTest::keyClicks(selector, QStringLiteral("boss"));
    QTest::keyClick(selector, Qt::Key_Return);
    QVERIFY(!selector->isEditable());
    QCOMPARE(entries(), (QStringList {"默认方案", "boss"}));
    QCOMPARE(names(), (QStringList {"默认方案", "boss"}));
}

void TestSchemeManagement::highlightEndsRenaming()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    QVERIFY(window->schemeComboBox->isEditable());
    emit window->schemeComboBox->highlighted(0);
    QVERIFY(!window->schemeComboBox->isEditable());
    QCOMPARE(window->schemeComboBox->currentIndex(), 1);
}

void TestSchemeManagement::deleteShowsTheSuccessor_data()
{
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<int>("shown");

    QTest::newRow("second of three") << 1 << QStringList {"默认方案", "third"} << 1;
    QTest::newRow("last of three") << 2 << QStringList {"默认方案", "second"} << 1;
}

void TestSchemeManagement::deleteShowsTheSuccessor()
{
    QFETCH(int, deleted);
    QFETCH(QStringList, remaining);
    QFETCH(int, shown);

    // Three schemes told apart by name and by their keypad 7 key.
    const QStringList schemeNames = {"默认方案", "second", "third"};
    const Qt::Key keys[] = {Qt::Key_A, Qt::Key_B, Qt::Key_C};
    QTest::keyClick(window->keypad7LineEdit, keys[0]);
    for (int i = 1; i < 3; ++i) {
        QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
        window->schemeComboBox->lineEdit()->selectAll();
        QTest::keyClicks(window->schemeComboBox->lineEdit(), schemeNames.at(i));
        QTest::keyClick(window->keypad7LineEdit, keys[i]);
    }
    window->schemeComboBox->setCurrentIndex(deleted);
    // Unsaved edits of the deleted scheme must not reach its successor.
    QTest::keyClick(window->keypad8LineEdit, Qt::Key_Z);
    HookDouble::reset();

    QTest::mouseClick(window->schemeDeleteButton, Qt::LeftButton);

    QCOMPARE(names(), remaining);
    QCOMPARE(entries(), remaining);
    QCOMPARE(TolvanInspector::lastScheme(*window), shown);
    QCOMPARE(window->schemeComboBox->currentIndex(), shown);
    QCOMPARE(window->windowTitle(), remaining.at(shown) + " - tolvan key change");
    const QString expectedKey = remaining.at(shown) == "third" ? "c" : "b";
    QCOMPARE(window->keypad7LineEdit->text(), expectedKey);
    QVERIFY(window->keypad8LineEdit->text().isEmpty());
    QCOMPARE(TolvanInspector::schemes(*window).at(shown).keypad8, 0u);
    QVERIFY(!window->schemeComboBox->isEditable());
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel"));
}

void TestSchemeManagement::firstSchemeCannotBeDeleted()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    QVERIFY(window->schemeDeleteButton->isEnabled());
    window->schemeComboBox->setCurrentIndex(0);
    QVERIFY(!window->schemeDeleteButton->isEnabled());

    // Even a click that got through leaves the first scheme where it is.
    QMetaObject::invokeMethod(window.get(), "schemeDeleteButtonClicked");
    QCOMPARE(names(), (QStringList {"默认方案", "new"}));
    QCOMPARE(TolvanInspector::lastScheme(*window), 0);
}

void TestSchemeManagement::everySwitchStopsTheHook()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,cancel"));

    HookDouble::reset();
    emit window->schemeComboBox->highlighted(0);
    window->schemeComboBox->setFocus();
    QTest::keyClick(window->schemeComboBox, Qt::Key_Up);
    QCOMPARE(window->schemeComboBox->currentIndex(), 1);
    window->schemeComboBox->setCurrentIndex(0);
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,cancel"));
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("unrunning"));
}

void TestSchemeManagement::cancelRestoresDefaultsAndKeepsTheName()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    window->schemeComboBox->lineEdit()->selectAll();
    QTest::keyClicks(window->schemeComboBox->lineEdit(), QStringLiteral("custom"));
    QTest::keyClick(window->keypad1LineEdit, Qt::Key_Q);
    QTest::keyClick(window->friendBloodLineEdit, Qt::Key_F9);
    TolvanInspector::schemes(*window)[1].winShield = false;
    TolvanInspector::schemes(*window)[1].toneKeys = {{1, 2, QStringLiteral("x")}};
    HookDouble::reset();

    QTest::mouseClick(window->cancelButton, Qt::LeftButton);

    Scheme expected;
    setSchemeDefaults(expected);
    const Scheme &scheme = TolvanInspector::schemes(*window).at(1);
    QCOMPARE(scheme.name, QStringLiteral("custom"));
    QCOMPARE(scheme.keypad1, 0u);
    QCOMPARE(scheme.friendBlood, expected.friendBlood);
    QVERIFY(scheme.winShield);
    QVERIFY(scheme.toneKeys.isEmpty());
    QCOMPARE(window->keypad1LineEdit->text(), QString());
    QCOMPARE(window->friendBloodLineEdit->text(), QStringLiteral("Home"));
    QCOMPARE(window->turnOnLineEdit->text(), QStringLiteral("ScrollLock"));
    QVERIFY(window->winShieldRadioButton->isChecked());
    QCOMPARE(window->toneKeyListWidget->count(), 0);
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel"));
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("unrunning"));
}

void TestSchemeManagement::schemeWithWinShieldOffClearsTheRadioButton()
{
    QTest::mouseClick(window->schemeNewButton, Qt::LeftButton);
    TolvanInspector::schemes(*window)[0].winShield = false;
    window->schemeComboBox->setCurrentIndex(0);
    QVERIFY(!window->winShieldRadioButton->isChecked());

    // The user can set it again but not clear it.
    QTest::mouseClick(window->winShieldRadioButton, Qt::LeftButton, {},
        QPoint(
            window->winShieldRadioButton->width() - 8, window->winShieldRadioButton->height() / 2));
    QVERIFY(window->winShieldRadioButton->isChecked());
    QTest::mouseClick(window->winShieldRadioButton, Qt::LeftButton, {},
        QPoint(
            window->winShieldRadioButton->width() - 8, window->winShieldRadioButton->height() / 2));
    QVERIFY(window->winShieldRadioButton->isChecked());
    window->schemeComboBox->setCurrentIndex(1);
    QVERIFY(TolvanInspector::schemes(*window).at(0).winShield);
}

QTEST_MAIN(TestSchemeManagement)
#include "tst_schememanagement.moc"
