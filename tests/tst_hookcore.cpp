#include "hooklib/remapcore.h"
#include "keycapture/virtualkeys.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cstddef>
#include <cstring>

// Event scripts for the remapping core. Tokens:
//   +K =K -K   press, auto-repeat, release of key K; K#2 is K on keyboard 2 (else keyboard 0)
//   set        the row's second record replaces the first
//   cancel     the hook is cancelled
//   unplug#2   keyboard 2 disappears
// Keys go in with their virtual key as their code and the core sends virtual keys back, so the
// output reads in the same names: letters, digits, NumN for keypad N, a few names, else vkN.
// vk255 is a key the backend cannot send.

namespace {

// Indexed by virtual key.
QStringList keyNames()
{
    QStringList names;
    for (uint32_t key = 0; key < 512; ++key) {
        const bool plain = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
        names << (plain ? QString(QChar(key)) : "vk" + QString::number(key));
    }
    for (int digit = 0; digit <= 9; ++digit)
        names[VirtualKey::Numpad0 + digit] = "Num" + QString::number(digit);
    const std::pair<uint32_t, const char *> named[] = {{VirtualKey::Scroll, "Scroll"},
        {VirtualKey::End, "End"}, {VirtualKey::Home, "Home"}, {VirtualKey::LWin, "LWin"},
        {VirtualKey::RWin, "RWin"}, {VirtualKey::Oem4, "["}, {VirtualKey::Oem6, "]"}};
    for (const auto &[key, name] : named)
        names[key] = name;
    return names;
}
const QStringList names = keyNames();

uint32_t keyNamed(const QString &name)
{
    const int key = names.indexOf(name);
    if (key < 0)
        qFatal("unknown key %s", qPrintable(name));
    return key;
}

// "win turnOn=K enemy=K friend=K kp7=K kp8=K kp4=K kp5=K kp1=K kp2=K A:B C:D pad=N count=N":
// unnamed fields are 0, win=N sets the flag's byte to N, pairs are appended in the order given,
// pad=N appends N pairs F24:F23, and count overrides the number of pairs.
void parseRecord(const QString &text, HookRecord &record)
{
    std::memset(&record, 0, sizeof record);
    const QStringList fields
        = {"turnOn", "enemy", "friend", "kp7", "kp8", "kp4", "kp5", "kp1", "kp2"};
    uint32_t HookRecord::*const members[] = {&HookRecord::turnOn, &HookRecord::enemyBlood,
        &HookRecord::friendBlood, &HookRecord::keypad7, &HookRecord::keypad8, &HookRecord::keypad4,
        &HookRecord::keypad5, &HookRecord::keypad1, &HookRecord::keypad2};
    for (const QString &token : text.split(' ', Qt::SkipEmptyParts)) {
        const QString name = token.section('=', 0, 0), value = token.section('=', 1);
        if (name == "win") {
            std::memset(&record.winShield, value.isEmpty() ? 1 : value.toInt(), 1);
        } else if (fields.contains(name)) {
            record.*members[fields.indexOf(name)] = keyNamed(value);
        } else if (name == "count") {
            record.toneKeyCount = value.toInt();
        } else {
            const QStringList pairs
                = name == "pad" ? QStringList(value.toInt(), "vk135:vk134") : QStringList(token);
            for (const QString &pair : pairs) {
                record.toneKeys[record.toneKeyCount++]
                    = {keyNamed(pair.section(':', 0, 0)), keyNamed(pair.section(':', 1))};
            }
        }
    }
}

// Pairs H->G lie right behind the first record's 100, so reading past them shows.
struct Overlong
{
    HookRecord record;
    uint32_t gap;
    HookKeyPair beyond[1000];
};
static_assert(offsetof(Overlong, beyond)
        == offsetof(HookRecord, toneKeys) + (HookRecordPairCapacity + 1) * sizeof(HookKeyPair),
    "the pairs behind the record continue its pair list");

QString run(const QString &recordText, const QString &secondText, const QString &script)
{
    Overlong first;
    std::fill(std::begin(first.beyond), std::end(first.beyond), HookKeyPair {'H', 'G'});
    parseRecord(recordText, first.record);
    HookRecord second;
    parseRecord(secondText, second);

    RemapCore core([](uint32_t key) { return key == 255 ? 0u : key; });
    std::vector<KeyOutput> out;
    core.setRecord(first.record, out);
    for (const QString &token : script.split(' ')) {
        const uint32_t device = token.section('#', 1).toUInt();
        if (token == "set") {
            core.setRecord(second, out);
        } else if (token == "cancel") {
            core.cancel(out);
        } else if (token.startsWith("unplug")) {
            core.removeDevice(device, out);
        } else {
            const uint32_t key = keyNamed(token.mid(1).section('#', 0, 0));
            const auto action = static_cast<KeyAction>(QString("-+=").indexOf(token[0]));
            core.process(KeyInput {device, key, key, action}, out);
        }
    }
    QStringList result;
    for (const KeyOutput &output : out)
        result << QString("-+=")[int(output.action)] + names.value(output.code);
    return result.join(' ');
}

} // namespace

class TestHookCore : public QObject
{
    Q_OBJECT

private slots:
    void scripts_data();
    void scripts();
};

void TestHookCore::scripts_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("secondRecord");

    auto row = [](const char *name, const QString &record, const char *script, const char *expected,
                   const QString &second = QString()) {
        QTest::newRow(name) << record << script << expected << second;
    };
    const QString d
        = "win turnOn=Scroll enemy=End friend=Home kp7=Q kp8=W kp4=A kp5=S kp1=Z kp2=X C:V";

    row("unbound key, and one held since before the hook, pass", d, "+K =K -K =W -W",
        "+K =K -K =W -W");
    row("turn-on key passes and switches on presses only", d,
        "+Scroll =Scroll -Scroll +W -W +Scroll -Scroll +W -W",
        "+Scroll =Scroll -Scroll +W -W +Scroll -Scroll +Num8 -Num8");
    row("while off every key passes", d, "+Scroll -Scroll +LWin -LWin +End -End +Home -Home +C -C",
        "+Scroll -Scroll +LWin -LWin +End -End +Home -Home +C -C");
    row("windows keys swallowed", d, "+LWin -LWin +RWin =RWin -RWin", "");
    row("windows keys pass without the shield, any non-zero flag byte shields", "",
        "+LWin -LWin set +RWin -RWin", "+LWin -LWin", "win=2");
    row("health-bar keys toggle [ and ]", d,
        "+End =End -End +Home -Home +End -End +Home =Home -Home", "+[ +] -[ -]");
    row("keypad keys", d, "+Q -Q +W =W -W +A -A +S -S +Z -Z +X -X",
        "+Num7 -Num7 +Num8 =Num8 -Num8 +Num4 -Num4 +Num5 -Num5 +Num1 -Num1 +Num2 -Num2");
    row("swap pair", "A:B B:A", "+A +B =A -A -B", "+B +A =B -B -A");

    // Turn-on key, Windows keys, enemy bar, friend bar, the keypad keys in order, pairs in order.
    row("precedence",
        "win turnOn=LWin enemy=RWin friend=Q kp7=Q kp8=A kp4=A kp5=S kp1=S kp2=C C:V D:E D:F",
        "+RWin -RWin +Q -Q +A -A +S -S +C -C +D -D +LWin -LWin +RWin -RWin",
        "+] +Num8 -Num8 +Num5 -Num5 +Num2 -Num2 +E -E -] +LWin -LWin +RWin -RWin");
    row("more precedence", "enemy=End friend=End kp7=Q kp8=Q kp4=A kp5=A kp1=Z kp2=Z",
        "+End -End +Q -Q +A -A +Z -Z", "+[ +Num7 -Num7 +Num4 -Num4 +Num1 -Num1");

    row("switched off while keys held", d, "+W +End -End +Home -Home +Scroll -Scroll =W -W +W -W",
        "+Num8 +[ +] -Num8 -[ -] +Scroll -Scroll +W -W");
    row("key pressed while off passes until released", d,
        "+Scroll -Scroll +W +Scroll -Scroll =W -W +W -W",
        "+Scroll -Scroll +W +Scroll -Scroll =W -W +Num8 -Num8");
    row("record replaced while keys held", d, "+W +End -End set =W -W +End +W -W",
        "+Num8 +[ -Num8 -[ +[ +E -E", "enemy=End W:E");
    row("passed-through key outlives a new record", d, "+K set =K -K", "+K =K -K", "kp7=K");
    row("new record switches on", d, "+Scroll -Scroll set +W -W", "+Scroll -Scroll +Num8 -Num8", d);
    row("cancel releases everything once, then every key passes", d,
        "+W +K +End +Home cancel -W -K +W +LWin cancel cancel",
        "+Num8 +K +[ +] -Num8 -[ -] -K -W -K +W +LWin -W -LWin");

    row("100 pairs read, none beyond", "pad=99 A:B count=1000", "+A -A +H -H", "+B -B +H -H");
    row("pairs behind the count ignored, none if negative", "A:B C:D count=1", "+C -C set +A -A",
        "+C -C +A -A", "A:B count=-1");
    row("code 0, codes beyond a byte and unsendable targets stay unmapped",
        "vk0:B vk300:C A:vk255 D:E", "+vk0 -vk0 +vk300 -vk300 +A -A +D -D",
        "+vk0 -vk0 +vk300 -vk300 +A -A +E -E");

    row("two keys held on one target", "A:B C:B", "+A +C -A =C -C", "+B =B -B");
    row("target pressed itself, same key on two keyboards", "A:B",
        "+A +B -A -B +A#1 +A#2 -A#1 -A#2", "+B -B +B -B");
    row("second press without release repeats", "A:B", "+A +A -A", "+B =B -B");
    row("unplugged keyboard releases its keys", d, "+W#1 +K#1 +W#2 unplug#1 =W#2 -W#2",
        "+Num8 +K -K =Num8 -Num8");
}

void TestHookCore::scripts()
{
    QFETCH(QString, record);
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QFETCH(QString, secondRecord);

    QCOMPARE(run(record, secondRecord, script), expected);
}

QTEST_APPLESS_MAIN(TestHookCore)
#include "tst_hookcore.moc"
