#include "keycapture/keyevent.h"
#include "keycapture/keytable.h"

#include <QKeyEvent>
#include <QMap>
#include <QtTest>

#include <linux/input-event-codes.h>

class TestKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void everyRowConvertsBothWays();
    void physicalKeysAreUnique();
    void nativeScanCodeWins_data();
    void nativeScanCodeWins();
    void qtKeyFallbackAgreesWithTable_data();
    void qtKeyFallbackAgreesWithTable();
};

void TestKeyTable::everyRowConvertsBothWays()
{
    std::size_t count = 0;
    const KeyTable::Row *rows = KeyTable::rows(&count);
    QVERIFY(count > 100);
    for (std::size_t i = 0; i < count; ++i) {
        const KeyTable::Row &row = rows[i];
        QVERIFY2(row.virtualKey != 0, qPrintable(QString::number(row.evdev)));
        QCOMPARE(KeyTable::virtualKeyFromEvdev(row.evdev), row.virtualKey);
        const uint16_t back = KeyTable::evdevFromVirtualKey(row.virtualKey);
        // Keypad Enter is the one key that shares its virtual key; it comes back as main Enter.
        QCOMPARE(back, row.evdev == KEY_KPENTER ? uint16_t(KEY_ENTER) : row.evdev);
        QCOMPARE(KeyTable::virtualKeyFromEvdev(back), row.virtualKey);
    }
    QCOMPARE(KeyTable::evdevFromVirtualKey(0), uint16_t(0));
    QCOMPARE(KeyTable::virtualKeyFromEvdev(KEY_RESERVED), 0u);
}

void TestKeyTable::physicalKeysAreUnique()
{
    std::size_t count = 0;
    const KeyTable::Row *rows = KeyTable::rows(&count);
    QMap<uint16_t, int> evdevSeen;
    QMap<uint32_t, QList<uint16_t>> byVirtualKey;
    for (std::size_t i = 0; i < count; ++i) {
        ++evdevSeen[rows[i].evdev];
        byVirtualKey[rows[i].virtualKey].append(rows[i].evdev);
    }
    for (auto it = evdevSeen.cbegin(); it != evdevSeen.cend(); ++it)
        QVERIFY2(it.value() == 1, qPrintable(QStringLiteral("evdev %1 twice").arg(it.key())));
    for (auto it = byVirtualKey.cbegin(); it != byVirtualKey.cend(); ++it) {
        if (it.key() == 0x0D)
            QCOMPARE(it.value(), (QList<uint16_t> { KEY_ENTER, KEY_KPENTER }));
        else
            QVERIFY2(it.value().size() == 1,
                qPrintable(QStringLiteral("virtual key %1 has several keys").arg(it.key())));
    }
}

void TestKeyTable::nativeScanCodeWins_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<quint32>("scanCode");
    QTest::addColumn<quint32>("virtualKey");

    // Scan codes as xcb reports them: evdev + 8. The Qt key disagrees where the layout or Num Lock
    // changes what the key types; the physical key decides.
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << quint32(71) << 116u;
    QTest::newRow("Scroll Lock") << int(Qt::Key_ScrollLock) << 0 << quint32(78) << 145u;
    QTest::newRow("main-row 7") << int(Qt::Key_7) << 0 << quint32(16) << 55u;
    QTest::newRow("keypad 7, Num Lock on")
        << int(Qt::Key_7) << int(Qt::KeypadModifier) << quint32(79) << 103u;
    QTest::newRow("keypad 7, Num Lock off")
        << int(Qt::Key_Home) << int(Qt::KeypadModifier) << quint32(79) << 103u;
    QTest::newRow("A on a French layout types q") << int(Qt::Key_Q) << 0 << quint32(38) << 65u;
    QTest::newRow("right Ctrl") << int(Qt::Key_Control) << 0 << quint32(105) << 0xA3u;
    QTest::newRow("unknown scan code falls back to the Qt key")
        << int(Qt::Key_F5) << 0 << quint32(8 + 0x2FF) << 116u;
    QTest::newRow("no native code: keypad flag tells keypad 7")
        << int(Qt::Key_7) << int(Qt::KeypadModifier) << quint32(0) << 103u;
    QTest::newRow("no native code: main-row 7") << int(Qt::Key_7) << 0 << quint32(0) << 55u;
    QTest::newRow("no native code: unknown key") << int(Qt::Key_F30) << 0 << quint32(0) << 0u;
}

void TestKeyTable::nativeScanCodeWins()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(quint32, scanCode);
    QFETCH(quint32, virtualKey);

    const QKeyEvent event(
        QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers), scanCode, 0xFFFF, 0);
    QCOMPARE(virtualKeyOf(&event), virtualKey);
}

void TestKeyTable::qtKeyFallbackAgreesWithTable_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("evdev");

    QTest::newRow("A") << int(Qt::Key_A) << 0 << KEY_A;
    QTest::newRow("0") << int(Qt::Key_0) << 0 << KEY_0;
    QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << KEY_KP0;
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << KEY_KPMINUS;
    QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << KEY_MINUS;
    QTest::newRow("F12") << int(Qt::Key_F12) << 0 << KEY_F12;
    QTest::newRow("End") << int(Qt::Key_End) << 0 << KEY_END;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 0 << KEY_PAGEDOWN;
    QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << 0 << KEY_CAPSLOCK;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << KEY_ESC;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << KEY_ENTER;
    QTest::newRow("left bracket") << int(Qt::Key_BracketLeft) << 0 << KEY_LEFTBRACE;
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

QTEST_MAIN(TestKeyTable)
#include "tst_keytable.moc"
