#include "ui_tolvan.h"

#include <QDialog>
#include <QtTest>

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tabOrder();
    void advancedToggleShowsAndHidesBothBoxes();
    void clickCannotClearWinShield();
    void iconAndWidth();

private:
    QDialog *window = nullptr;
    Ui::tolvan form;
};

void TestForm::init()
{
    window = new QDialog;
    form.setupUi(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestForm::cleanup()
{
    delete window;
    window = nullptr;
}

void TestForm::tabOrder()
{
    const QStringList expected = {
        "turnOnLineEdit",
        "winShieldRadioButton",
        "enemyBloodLineEdit",
        "friendBloodLineEdit",
        "keypad7LineEdit",
        "keypad8LineEdit",
        "keypad4LineEdit",
        "keypad5LineEdit",
        "keypad1LineEdit",
        "keypad2LineEdit",
        "okButton",
        "cancelButton",
        "advanceOptionButton",
        "aboutButton",
        "advanceNewButton",
        "advanceEditButton",
        "advanceDeleteButton",
        "schemeComboBox",
        "schemeNewButton",
        "schemeDeleteButton",
    };
    form.turnOnLineEdit->setFocus();
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
}

void TestForm::advancedToggleShowsAndHidesBothBoxes()
{
    form.toneKeyGroupBox->hide();
    form.schemeGroupBox->hide();
    QVERIFY(form.advanceOptionButton->isCheckable());

    QTest::mouseClick(form.advanceOptionButton, Qt::LeftButton);
    QVERIFY(form.toneKeyGroupBox->isVisible());
    QVERIFY(form.schemeGroupBox->isVisible());

    QTest::mouseClick(form.advanceOptionButton, Qt::LeftButton);
    QVERIFY(!form.toneKeyGroupBox->isVisible());
    QVERIFY(!form.schemeGroupBox->isVisible());
}

void TestForm::clickCannotClearWinShield()
{
    // Right to left: the indicator sits at the right end of the button.
    QRadioButton *radio = form.winShieldRadioButton;
    QStyleOptionButton option;
    option.initFrom(radio);
    const QPoint indicator
        = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio).center();
    QVERIFY(indicator.x() > radio->width() / 2);

    QVERIFY(!radio->isChecked());
    QTest::mouseClick(radio, Qt::LeftButton, {}, indicator);
    QVERIFY(radio->isChecked());
    QTest::mouseClick(radio, Qt::LeftButton, {}, indicator);
    QVERIFY(radio->isChecked());
    // Only the program clears it, by lifting the exclusivity for a moment.
    form.winShieldButtonGroup->setExclusive(false);
    radio->setChecked(false);
    form.winShieldButtonGroup->setExclusive(true);
    QVERIFY(!radio->isChecked());
}

void TestForm::iconAndWidth()
{
    // The images are compiled into the library: a missing resource gives a null icon.
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    QCOMPARE(sizes, QList<QSize> {QSize(63, 49)});
    form.advanceOptionButton->setChecked(true);
    window->adjustSize();
    QVERIFY(window->width() <= 327);
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
