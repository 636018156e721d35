#include "keycapture/mylineedit.h"
#include "messageboxcatcher.h"

#include <QtTest>

class TestMyLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void capture_data();
    void capture();
    void synthesizedKeys_data();
    void synthesizedKeys();
};

namespace {
const QString refusal = QStringLiteral("sorry|we don't recommend the key");
}

void TestMyLineEdit::capture_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("scanCode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("code");

    // Events as xcb delivers them: scan code = evdev code + 8, text as the layout types it.
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << QString() << 71u << "F5" << 116u;
    QTest::newRow("F12") << int(Qt::Key_F12) << 0 << QString() << 96u << "F12" << 123u;
    QTest::newRow("Scroll Lock") << int(Qt::Key_ScrollLock) << 0 << QString() << 78u << "ScrollLock"
                                 << 145u;
    QTest::newRow("a") << int(Qt::Key_A) << 0 << "a" << 38u << "a" << 65u;
    QTest::newRow("Shift+a names the capital")
        << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << 38u << "A" << 65u;
    QTest::newRow("main-row 7") << int(Qt::Key_7) << 0 << "7" << 16u << "7" << 55u;
    QTest::newRow("keypad 7, same name, other code")
        << int(Qt::Key_7) << int(Qt::KeypadModifier) << "7" << 79u << "7" << 103u;
    QTest::newRow("non-ASCII text") << int(Qt::Key_Odiaeresis) << 0 << QStringLiteral("ö") << 47u
                                    << QStringLiteral("ö") << 0xBAu;
    QTest::newRow("keypad 7, Num Lock off")
        << int(Qt::Key_Home) << int(Qt::KeypadModifier) << QString() << 79u << "Home" << 103u;
    QTest::newRow("a French layout's q is the A key")
        << int(Qt::Key_Q) << 0 << "q" << 38u << "q" << 65u;
    QTest::newRow("scan code unknown to the table")
        << int(Qt::Key_F5) << 0 << QString() << quint32(8 + 0x2FF) << "F5" << 116u;
    QTest::newRow("Home") << int(Qt::Key_Home) << 0 << QString() << 110u << "Home" << 36u;
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << QString() << 116u << "Down" << 40u;
    QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << 0 << QString() << 77u << "NumLock" << 144u;

    // Keys that type control characters are named after the key.
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << "\x1b" << 9u << "Esc" << 27u;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 22u << "Backspace" << 8u;
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << "\t" << 23u
                              << "Tab" << 9u;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << 36u << "Enter" << 13u;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << 104u
                                  << "Enter" << 13u;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "\x7f" << 119u << "Delete" << 46u;
    QTest::newRow("Esc without text")
        << int(Qt::Key_Escape) << 0 << QString() << 9u << "Esc" << 27u;
    QTest::newRow("Ctrl+a") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << 38u << "a"
                            << 65u;
    QTest::newRow("Ctrl+Shift+z") << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << "\x1a" << 52u << "Z" << 90u;
    QTest::newRow("Ctrl+[") << int(Qt::Key_BracketLeft) << int(Qt::ControlModifier) << "\x1b" << 34u
                            << "[" << 219u;

    // Refused: no text and not a named key. The field is cleared, the code is 0.
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << QString() << 50u
                                 << QString() << 0u;
    QTest::newRow("Windows key") << int(Qt::Key_Meta) << 0 << QString() << 133u << QString() << 0u;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 0 << QString() << 112u << QString() << 0u;
    QTest::newRow("Pause") << int(Qt::Key_Pause) << 0 << QString() << 127u << QString() << 0u;
    QTest::newRow("F13") << int(Qt::Key_F13) << 0 << QString() << 191u << QString() << 0u;
    QTest::newRow("Ctrl+Space types NUL") << int(Qt::Key_Space) << int(Qt::ControlModifier)
                                          << QString(QChar(0)) << 65u << QString() << 0u;
}

void TestMyLineEdit::capture()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(quint32, scanCode);
    QFETCH(QString, name);
    QFETCH(quint32, code);

    QWidget container;
    auto *field = new MyLineEdit(&container);
    field->setText(QStringLiteral("old"));
    field->key = 999;

    MessageBoxCatcher catcher;
    QKeyEvent event(
        QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers), scanCode, 0, 0, text);
    QApplication::sendEvent(field, &event);

    QVERIFY(event.isAccepted());
    QCOMPARE(field->text(), name);
    QCOMPARE(field->key, code);
    for (const QChar c : field->text())
        QVERIFY(c.category() != QChar::Other_Control);
    if (name.isEmpty()) {
        QCOMPARE(catcher.summaries(), QStringList {refusal});
        QCOMPARE(catcher.boxes.first().parent, &container);
        QCOMPARE(catcher.boxes.first().icon, QMessageBox::Information);
        QCOMPARE(catcher.boxes.first().buttonCount, 1);
    } else {
        QVERIFY(catcher.boxes.isEmpty());
    }
}

void TestMyLineEdit::synthesizedKeys_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("code");

    // QtTest's events carry no native codes: the code comes from the Qt key.
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << "F5" << 116u;
    QTest::newRow("A") << int(Qt::Key_A) << 0 << "a" << 65u;
    QTest::newRow("main-row 7") << int(Qt::Key_7) << 0 << "7" << 55u;
    QTest::newRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << "7" << 103u;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "Esc" << 27u;
    QTest::newRow("Shift") << int(Qt::Key_Shift) << 0 << QString() << 0u;
}

void TestMyLineEdit::synthesizedKeys()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(QString, name);
    QFETCH(quint32, code);

    QWidget container;
    auto *field = new MyLineEdit(&container);
    MessageBoxCatcher catcher;
    QTest::keyClick(field, Qt::Key(qtKey), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(field->text(), name);
    QCOMPARE(field->key, code);
    QCOMPARE(catcher.summaries(), name.isEmpty() ? QStringList {refusal} : QStringList {});
}

QTEST_MAIN(TestMyLineEdit)
#include "tst_mylineedit.moc"
