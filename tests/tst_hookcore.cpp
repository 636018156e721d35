#include "hooklib/remapcore.h"
#include "keycapture/virtualkeys.h"

#include <QHash>
#include <QStringList>
#include <QTest>

#include <cstring>

// Event scripts for the remapping core. A script is a list of tokens:
//   +K =K -K   press, auto-repeat, release of key K (a letter, a digit or a name below)
//   +K#2       the same on keyboard 2 (keyboard 0 otherwise)
//   set        the row's second record replaces the first
//   cancel     the hook is cancelled
//   unplug#2   keyboard 2 disappears
// Keys are sent with their virtual key as their code, and the core sends virtual keys back, so
// the expected output reads in the same names. vk255 is a key the backend cannot send.

namespace {

const uint32_t Unsendable = 255;

uint32_t sendable(uint32_t virtualKey)
{
    return virtualKey == Unsendable ? 0 : virtualKey;
}

const QHash<QString, uint32_t> &namedKeys()
{
    static const QHash<QString, uint32_t> names = {
        { "Scroll", VirtualKey::Scroll },
        { "End", VirtualKey::End },
        { "Home", VirtualKey::Home },
        { "LWin", VirtualKey::LWin },
        { "RWin", VirtualKey::RWin },
        { "[", VirtualKey::Oem4 },
        { "]", VirtualKey::Oem6 },
        { "Num1", 0x61 },
        { "Num2", 0x62 },
        { "Num4", 0x64 },
        { "Num5", 0x65 },
        { "Num7", 0x67 },
        { "Num8", 0x68 },
        { "F23", 0x86 },
        { "F24", 0x87 },
    };
    return names;
}

uint32_t keyNamed(const QString &name)
{
    if (name.startsWith("vk"))
        return name.mid(2).toUInt();
    if (name.size() == 1 && (name[0].isUpper() || name[0].isDigit()))
        return name[0].unicode();
    const auto found = namedKeys().constFind(name);
    if (found == namedKeys().constEnd())
        qFatal("unknown key name %s", qPrintable(name));
    return *found;
}

QString nameOf(uint32_t virtualKey)
{
    const QString name = namedKeys().key(virtualKey);
    if (!name.isEmpty())
        return name;
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return QString(QChar(virtualKey));
    return QStringLiteral("vk%1").arg(virtualKey);
}

// "win turnOn=Scroll enemy=End friend=Home kp7=Q kp8=W kp4=A kp5=S kp1=Z kp2=X pairs=C:V,D:E
// pad=N count=N winbyte=N": unnamed fields are 0, the pairs are appended in the order given
// (pad=N appends N pairs F24->F23), and count overrides the number of pairs.
HookRecord parseRecord(const QString &text)
{
    HookRecord record;
    std::memset(&record, 0, sizeof record);
    const QHash<QString, uint32_t HookRecord::*> fields = {
        { "turnOn", &HookRecord::turnOn },
        { "enemy", &HookRecord::enemyBlood },
        { "friend", &HookRecord::friendBlood },
        { "kp7", &HookRecord::keypad7 },
        { "kp8", &HookRecord::keypad8 },
        { "kp4", &HookRecord::keypad4 },
        { "kp5", &HookRecord::keypad5 },
        { "kp1", &HookRecord::keypad1 },
        { "kp2", &HookRecord::keypad2 },
    };
    int pairs = 0;
    auto addPair = [&](uint32_t from, uint32_t to) {
        if (pairs == HookRecordPairCapacity)
            qFatal("more pairs than the record holds");
        record.toneKeys[pairs++] = HookKeyPair { from, to };
        record.toneKeyCount = pairs;
    };
    for (const QString &token : text.split(' ', Qt::SkipEmptyParts)) {
        const QString name = token.section('=', 0, 0);
        const QString value = token.section('=', 1);
        if (token == "win") {
            record.winShield = true;
        } else if (name == "winbyte") {
            const unsigned char byte = value.toUInt();
            std::memcpy(&record.winShield, &byte, 1);
        } else if (fields.contains(name)) {
            record.*fields.value(name) = keyNamed(value);
        } else if (name == "pairs") {
            for (const QString &pair : value.split(','))
                addPair(keyNamed(pair.section(':', 0, 0)), keyNamed(pair.section(':', 1)));
        } else if (name == "pad") {
            for (int i = value.toInt(); i > 0; --i)
                addPair(keyNamed("F24"), keyNamed("F23"));
        } else if (name == "count") {
            record.toneKeyCount = value.toInt();
        } else {
            qFatal("unknown record token %s", qPrintable(token));
        }
    }
    return record;
}

QStringList run(const QString &recordText, const QString &secondRecordText, const QString &script)
{
    const HookRecord record = parseRecord(recordText);
    const HookRecord secondRecord = parseRecord(secondRecordText);
    RemapCore core(sendable);
    std::vector<KeyOutput> out;
    core.setRecord(record, out);
    for (const QString &token : script.split(' ', Qt::SkipEmptyParts)) {
        const QString key = token.mid(1).section('#', 0, 0);
        const uint32_t device = token.section('#', 1).toUInt();
        if (token == "set") {
            core.setRecord(secondRecord, out);
        } else if (token == "cancel") {
            core.cancel(out);
        } else if (token.startsWith("unplug#")) {
            core.removeDevice(device, out);
        } else {
            const QChar sign = token[0];
            const KeyAction action = sign == '+' ? KeyAction::Down
                : sign == '='                    ? KeyAction::Repeat
                : sign == '-'                    ? KeyAction::Up
                              : (qFatal("bad token %s", qPrintable(token)), KeyAction::Up);
            const uint32_t virtualKey = keyNamed(key);
            core.process(KeyInput { device, virtualKey, virtualKey, action }, out);
        }
    }
    QStringList result;
    for (const KeyOutput &output : out) {
        const char *sign = output.action == KeyAction::Down ? "+"
            : output.action == KeyAction::Repeat            ? "="
                                                            : "-";
        result << sign + nameOf(output.code);
    }
    return result;
}

const char defaultRecord[]
    = "win turnOn=Scroll enemy=End friend=Home kp7=Q kp8=W kp4=A kp5=S kp1=Z kp2=X pairs=C:V";

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
    QTest::addColumn<QString>("secondRecord");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, const QString &record, const QString &secondRecord,
                   const QString &script, const QString &expected) {
        QTest::newRow(name) << record << secondRecord << script << expected;
    };
    const QString d = defaultRecord;

    row("unbound key passes through", d, "", "+K =K -K", "+K =K -K");
    row("turn-on key passes through and switches off", d, "", "+Scroll -Scroll +W -W",
        "+Scroll -Scroll +W -W");
    row("turn-on key switches back on", d, "", "+Scroll -Scroll +Scroll -Scroll +W -W",
        "+Scroll -Scroll +Scroll -Scroll +Num8 -Num8");
    row("turn-on auto-repeat does not switch", d, "", "+Scroll =Scroll =Scroll -Scroll +W -W",
        "+Scroll =Scroll =Scroll -Scroll +W -W");

    row("windows keys swallowed", d, "", "+LWin -LWin +RWin =RWin -RWin", "");
    row("windows keys pass without the shield", "turnOn=Scroll", "", "+LWin -LWin +RWin -RWin",
        "+LWin -LWin +RWin -RWin");
    row("windows keys pass while off", d, "", "+Scroll -Scroll +LWin -LWin",
        "+Scroll -Scroll +LWin -LWin");
    row("any non-zero flag byte shields", "winbyte=2", "", "+LWin -LWin", "");

    row("enemy bar key toggles [", d, "", "+End =End -End +End -End", "+[ -[");
    row("friend bar key toggles ]", d, "", "+Home -Home +Home =Home -Home", "+] -]");
    row("both bars held at once", d, "", "+End -End +Home -Home +End -End", "+[ +] -[");
    row("bar keys pass while off", d, "", "+Scroll -Scroll +End -End", "+Scroll -Scroll +End -End");

    row("six keypad keys", d, "", "+Q -Q +W -W +A -A +S -S +Z -Z +X -X",
        "+Num7 -Num7 +Num8 -Num8 +Num4 -Num4 +Num5 -Num5 +Num1 -Num1 +Num2 -Num2");
    row("keypad key repeats as keypad", d, "", "+W =W =W -W", "+Num8 =Num8 =Num8 -Num8");
    row("pair", d, "", "+C =C -C", "+V =V -V");
    row("swap pair", "pairs=A:B,B:A", "", "+A +B =A -A -B", "+B +A =B -B -A");

    row("turn-on beats windows", "win turnOn=LWin", "", "+LWin -LWin +RWin -RWin",
        "+LWin -LWin +RWin -RWin");
    row("windows beat health bar", "win enemy=LWin", "", "+LWin -LWin", "");
    row("turn-on beats health bar", "turnOn=End enemy=End", "", "+End -End +End -End",
        "+End -End +End -End");
    row("enemy bar beats friend bar", "enemy=End friend=End", "", "+End -End", "+[");
    row("health bar beats keypad", "friend=Q kp7=Q", "", "+Q -Q", "+]");
    row("keypad 7 beats keypad 8", "kp8=Q kp7=Q", "", "+Q -Q", "+Num7 -Num7");
    row("keypad beats pair", "kp2=C pairs=C:V", "", "+C -C", "+Num2 -Num2");
    row("turn-on beats pair", "turnOn=C pairs=C:V", "", "+C -C +C -C", "+C -C +C -C");
    row("first pair wins", "pairs=C:V,C:B", "", "+C -C", "+V -V");

    row("switched off while remapped key held", d, "", "+W +Scroll -Scroll =W -W +W -W",
        "+Num8 -Num8 +Scroll -Scroll +W -W");
    row("switched off while bars held", d, "", "+End -End +Home -Home +Scroll",
        "+[ +] -[ -] +Scroll");
    row("key pressed while off passes until released", d, "",
        "+Scroll -Scroll +W +Scroll -Scroll =W -W +W -W",
        "+Scroll -Scroll +W +Scroll -Scroll =W -W +Num8 -Num8");
    row("windows key pressed while off released while on", d, "",
        "+Scroll -Scroll +LWin +Scroll -Scroll -LWin",
        "+Scroll -Scroll +LWin +Scroll -Scroll -LWin");

    row("record replaced while remapped key held", d, "pairs=W:E", "+W set =W -W +W -W",
        "+Num8 -Num8 +E -E");
    row("record replaced while passed-through key held", d, "kp7=K", "+K set =K -K", "+K =K -K");
    row("record replaced while bar held", d, d, "+End -End set +End", "+[ -[ +[");
    row("record replaced while off switches on", d, d, "+Scroll -Scroll set +W -W",
        "+Scroll -Scroll +Num8 -Num8");

    row("cancel releases everything held", d, "", "+W +K +End +Home cancel",
        "+Num8 +K +[ +] -Num8 -[ -] -K");
    row("after cancel every key passes", d, "", "+W cancel -W +W -W +Scroll +LWin",
        "+Num8 -Num8 -W +W -W +Scroll +LWin");
    row("cancel twice", d, "", "+K cancel cancel", "+K -K");

    row("pairs up to the capacity are read", "pad=99 pairs=A:B count=1000", "", "+A -A", "+B -B");
    row("negative count reads no pair", "pairs=A:B count=-1", "", "+A -A", "+A -A");
    row("pairs behind the count are ignored", "pairs=A:B,C:D count=1", "", "+C -C", "+C -C");
    row("code 0 never matches", "pairs=vk0:B", "", "+vk0 -vk0", "+vk0 -vk0");
    row("code beyond a byte never matches", "pairs=vk300:B", "", "+vk300 -vk300", "+vk300 -vk300");
    row("unsendable target leaves the key alone", "pairs=A:vk255", "", "+A -A", "+A -A");

    row("two keys held on one target", "pairs=A:B,C:B", "", "+A +C -A =C -C", "+B =B -B");
    row("target also pressed itself", "pairs=A:B", "", "+A +B -A -B", "+B -B");
    row("same key on two keyboards", "pairs=A:B", "", "+A#1 +A#2 -A#1 -A#2", "+B -B");
    row("unplugged keyboard releases its keys", d, "", "+W#1 +K#1 +W#2 unplug#1 =W#2 -W#2",
        "+Num8 +K -K =Num8 -Num8");
    row("second press without release repeats", "pairs=A:B", "", "+A +A -A", "+B =B -B");
    row("release of a key pressed before the hook passes", d, "", "=W -W", "=W -W");
}

void TestHookCore::scripts()
{
    QFETCH(QString, record);
    QFETCH(QString, secondRecord);
    QFETCH(QString, script);
    QFETCH(QString, expected);

    QCOMPARE(run(record, secondRecord, script).join(' '), expected);
}

QTEST_APPLESS_MAIN(TestHookCore)
#include "tst_hookcore.moc"
