#include "keycapture/mylineedit.h"
#include "keycapture/tonekeydialog.h"
#include "messageboxcatcher.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestToneKeyDialog : public QObject
{
    Q_OBJECT

private slots:
    void okAtOnceGivesNoKeys();
    void enterAndEscapeStayInTheField_data();
    void enterAndEscapeStayInTheField();
    void cancelAndCloseReject();
    void fixedSize();
};

void TestToneKeyDialog::okAtOnceGivesNoKeys()
{
    ToneKeyDialog dialog;
    QTimer::singleShot(0, dialog.okButton, &QPushButton::click);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.fromLineEdit->text(), QString());
    QCOMPARE(dialog.fromLineEdit->key, 0u);
    QCOMPARE(dialog.toLineEdit->text(), QString());
    QCOMPARE(dialog.toLineEdit->key, 0u);
}

void TestToneKeyDialog::enterAndEscapeStayInTheField_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<QString>("name");
    QTest::newRow("Enter") << int(Qt::Key_Return) << "Enter";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "Enter";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "Esc";
}

void TestToneKeyDialog::enterAndEscapeStayInTheField()
{
    QFETCH(int, qtKey);
    QFETCH(QString, name);

    ToneKeyDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    for (MyLineEdit *field : {dialog.fromLineEdit, dialog.toLineEdit}) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key(qtKey));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(field->text(), name);
    }
}

void TestToneKeyDialog::cancelAndCloseReject()
{
    ToneKeyDialog cancelled;
    QTimer::singleShot(0, &cancelled, [&cancelled] {
        QTest::keyClick(cancelled.fromLineEdit, Qt::Key_A);
        QTest::mouseClick(cancelled.cancelButton, Qt::LeftButton);
    });
    QCOMPARE(cancelled.exec(), int(QDialog::Rejected));

    ToneKeyDialog closed;
    QTimer::singleShot(0, &closed, &QWidget::close);
    QCOMPARE(closed.exec(), int(QDialog::Rejected));
}

void TestToneKeyDialog::fixedSize()
{
    ToneKeyDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.fromLineEdit->width(), 60);
    QCOMPARE(dialog.toLineEdit->width(), 60);
    QVERIFY(dialog.okButton->isDefault());
    QVERIFY(dialog.fromLineEdit->geometry().right() < dialog.changeToLabel->geometry().left());
    QVERIFY(dialog.changeToLabel->geometry().right() < dialog.toLineEdit->geometry().left());
}

QTEST_MAIN(TestToneKeyDialog)
#include "tst_tonekeydialog.moc"
