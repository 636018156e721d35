#include "hook/hookrecord.h"
#include "hook/hookrecordbuilder.h"
#include "schemes/scheme.h"

#include <QtTest>

#include <cstring>

namespace {

// The record as the library reads it, built byte by byte rather than through the struct, so that
// a layout change in the header shows up here.
class Bytes
{
public:
    Bytes() { bytes.fill('\0', 844); }
    void u32(int offset, quint32 value)
    {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
    }
    QByteArray bytes;
};

Scheme schemeWithPairs(int count)
{
    Scheme scheme;
    setSchemeDefaults(scheme);
    for (int i = 0; i < count; ++i)
        scheme.toneKeys.append({ quint32(i + 1), quint32(0x10000 + i), QString::number(i) });
    return scheme;
}

QByteArray recordBytes(const Scheme &scheme, char fill)
{
    HookRecord record;
    std::memset(&record, fill, sizeof record);
    buildHookRecord(scheme, record);
    return QByteArray(reinterpret_cast<const char *>(&record), sizeof record);
}

} // namespace

class TestHookRecord : public QObject
{
    Q_OBJECT

private slots:
    void bytesOfScheme_data();
    void bytesOfScheme();
    void defaultsKeepOnlyTheName();
};

void TestHookRecord::bytesOfScheme_data()
{
    QTest::addColumn<Scheme>("scheme");
    QTest::addColumn<QByteArray>("expected");

    Scheme defaults;
    setSchemeDefaults(defaults);
    Bytes expected;
    expected.bytes[0] = 1;
    expected.u32(4, 145);
    expected.u32(8, 35);
    expected.u32(12, 36);
    QTest::newRow("defaults") << defaults << expected.bytes;

    Scheme custom;
    custom.winShield = false;
    custom.turnOn = 0xFFFFFFFF;
    custom.keypad7 = 1;
    custom.keypad8 = 2;
    custom.keypad4 = 3;
    custom.keypad5 = 4;
    custom.keypad1 = 5;
    custom.keypad2 = 6;
    custom.toneKeys = { { 65, 66, QString() }, { 0, 0, QString() } };
    Bytes customBytes;
    customBytes.u32(4, 0xFFFFFFFF);
    for (int i = 0; i < 6; ++i)
        customBytes.u32(16 + 4 * i, quint32(i + 1));
    customBytes.u32(40, 65);
    customBytes.u32(44, 66);
    customBytes.u32(840, 2);
    QTest::newRow("keypad fields in 7 8 4 5 1 2 order, two pairs") << custom << customBytes.bytes;

    for (int count : { 100, 150 }) {
        Bytes full;
        full.bytes[0] = 1;
        full.u32(4, 145);
        full.u32(8, 35);
        full.u32(12, 36);
        for (int i = 0; i < 100; ++i) {
            full.u32(40 + 8 * i, quint32(i + 1));
            full.u32(44 + 8 * i, quint32(0x10000 + i));
        }
        full.u32(840, 100);
        QTest::addRow("%d pairs", count) << schemeWithPairs(count) << full.bytes;
    }
}

void TestHookRecord::bytesOfScheme()
{
    QFETCH(Scheme, scheme);
    QFETCH(QByteArray, expected);

    QByteArray actual = recordBytes(scheme, '\0');
    QCOMPARE(actual.toHex(' '), expected.toHex(' '));

    // Building again from the same scheme changes nothing.
    HookRecord record;
    std::memcpy(&record, actual.constData(), sizeof record);
    buildHookRecord(scheme, record);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&record), sizeof record), actual);
}

void TestHookRecord::defaultsKeepOnlyTheName()
{
    Scheme scheme = schemeWithPairs(5);
    scheme.name = QStringLiteral("raid");
    scheme.winShield = false;
    scheme.keypad7 = 81;
    scheme.keypad7Text = QStringLiteral("q");
    scheme.turnOnText.clear();
    setSchemeDefaults(scheme);

    Scheme expected;
    setSchemeDefaults(expected);
    QCOMPARE(scheme.name, QStringLiteral("raid"));
    for (const QString &text : { scheme.keypad7Text, scheme.keypad8Text, scheme.keypad2Text })
        QVERIFY(text.isEmpty());
    QCOMPARE(QStringList({ scheme.turnOnText, scheme.enemyBloodText, scheme.friendBloodText }),
        QStringList({ "ScrollLock", "End", "Home" }));
    QCOMPARE(recordBytes(scheme, '\0'), recordBytes(expected, '\0'));
}

QTEST_APPLESS_MAIN(TestHookRecord)
#include "tst_hookrecord.moc"
