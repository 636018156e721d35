#include "keycapture/keyevent.h"
#include "keycapture/keytable.h"

#include <QMap>
#include <QtTest>

#include <linux/input-event-codes.h>

class TestKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void everyRowConvertsBothWays();
    void qtKeyFallbackAgreesWithTable_data();
    void qtKeyFallbackAgreesWithTable();
};

void TestKeyTable::everyRowConvertsBothWays()
{
    std::size_t count = 0;
    const KeyTable::Row *rows = KeyTable::rows(&count);
    QVERIFY(count > 100);
    QMap<uint16_t, int> evdevSeen;
    QMap<uint32_t, QList<uint16_t>> byVirtualKey;
    for (std::size_t i = 0; i < count; ++i) {
        const KeyTable::Row &row = rows[i];
        ++evdevSeen[row.evdev];
        byVirtualKey[row.virtualKey].append(row.evdev);
        QVERIFY2(row.virtualKey != 0, qPrintable(QString::number(row.evdev)));
        QCOMPARE(KeyTable::virtualKeyFromEvdev(row.evdev), row.virtualKey);
        // Keypad Enter is the one key that shares its virtual key; it comes back as main Enter.
        const uint16_t back = KeyTable::evdevFromVirtualKey(row.virtualKey);
        QCOMPARE(back, row.evdev == KEY_KPENTER ? uint16_t(KEY_ENTER) : row.evdev);
    }
    QCOMPARE(evdevSeen.size(), int(count));
    for (auto it = byVirtualKey.cbegin(); it != byVirtualKey.cend(); ++it) {
        const QList<uint16_t> expected = it.key() == 0x0D ? QList<uint16_t> {KEY_ENTER, KEY_KPENTER}
                                                          : QList<uint16_t> {it.value().first()};
        QCOMPARE(it.value(), expected);
    }
    QCOMPARE(KeyTable::evdevFromVirtualKey(0), uint16_t(0));
    QCOMPARE(KeyTable::virtualKeyFromEvdev(KEY_RESERVED), 0u);
}

void TestKeyTable::qtKeyFallbackAgreesWithTable_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("evdev");

    // Events without native codes name the key a US keyboard would have sent.
    QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << KEY_KP0;
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << KEY_KPMINUS;
    QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << KEY_MINUS;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 0 << KEY_PAGEDOWN;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << KEY_ENTER;
    QTest::newRow("brace types on the bracket key") << int(Qt::Key_BraceLeft) << 0 << KEY_LEFTBRACE;
    QTest::newRow("exclamation mark types on 1") << int(Qt::Key_Exclam) << 0 << KEY_1;
    QTest::newRow("Windows key") << int(Qt::Key_Meta) << 0 << KEY_LEFTMETA;
}

void TestKeyTable::qtKeyFallbackAgreesWithTable()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, evdev);

    QCOMPARE(virtualKeyFromQtKey(qtKey, Qt::KeyboardModifiers(modifiers)),
        KeyTable::virtualKeyFromEvdev(uint16_t(evdev)));
}

QTEST_APPLESS_MAIN(TestKeyTable)
#include "tst_keytable.moc"
