// Feeds arbitrary bytes to the settings reader and checks what a start-up relies on: no crash,
// a usable index, and that whatever was read can be written and read back unchanged, by this
// reader and by an independent XML 1.0 parser.

#include "config/xmlhandler.h"
#include "config/xmltext.h"
#include "config/xmlwriter.h"

#include <QBuffer>

#include <libxml/parser.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char *what, const QByteArray &document = QByteArray())
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    if (!document.isEmpty())
        std::fprintf(stderr, "%s\n", document.constData());
    std::abort();
}

void check(bool condition, const char *what, const QByteArray &document = QByteArray())
{
    if (!condition)
        fail(what, document);
}

bool read(const QByteArray &bytes, QVector<Scheme> *schemes, int *lastScheme)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    XmlHandler handler(schemes);
    const bool complete = handler.parse(&buffer);
    *lastScheme = handler.lastScheme();
    check(
        complete == handler.errorMessage().isEmpty(), "an error without a message or the reverse");
    return complete;
}

QString storable(const QString &text)
{
    return xmlStorable(text);
}

// The schemes as they read back after a write.
QVector<Scheme> storableSchemes(QVector<Scheme> schemes)
{
    for (Scheme &scheme : schemes) {
        for (QString *text :
            { &scheme.name, &scheme.turnOnText, &scheme.enemyBloodText, &scheme.friendBloodText,
                &scheme.keypad7Text, &scheme.keypad8Text, &scheme.keypad4Text, &scheme.keypad5Text,
                &scheme.keypad1Text, &scheme.keypad2Text })
            *text = storable(*text);
        for (ToneKey &toneKey : scheme.toneKeys)
            toneKey.toneKeyText = storable(toneKey.toneKeyText);
    }
    return schemes;
}

bool sameToneKeys(const QList<ToneKey> &a, const QList<ToneKey> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].from != b[i].from || a[i].to != b[i].to || a[i].toneKeyText != b[i].toneKeyText)
            return false;
    }
    return true;
}

bool sameSchemes(const QVector<Scheme> &a, const QVector<Scheme> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const Scheme &x = a[i];
        const Scheme &y = b[i];
        if (x.name != y.name || x.winShield != y.winShield || x.turnOnText != y.turnOnText
            || x.turnOn != y.turnOn || x.enemyBloodText != y.enemyBloodText
            || x.enemyBlood != y.enemyBlood || x.friendBloodText != y.friendBloodText
            || x.friendBlood != y.friendBlood || x.keypad7Text != y.keypad7Text
            || x.keypad7 != y.keypad7 || x.keypad8Text != y.keypad8Text || x.keypad8 != y.keypad8
            || x.keypad4Text != y.keypad4Text || x.keypad4 != y.keypad4
            || x.keypad5Text != y.keypad5Text || x.keypad5 != y.keypad5
            || x.keypad1Text != y.keypad1Text || x.keypad1 != y.keypad1
            || x.keypad2Text != y.keypad2Text || x.keypad2 != y.keypad2
            || !sameToneKeys(x.toneKeys, y.toneKeys))
            return false;
    }
    return true;
}

void ignoreLibxmlMessage(void *, const char *, ...) { }

bool conformingParserAccepts(const QByteArray &document)
{
    xmlDocPtr parsed = xmlReadMemory(document.constData(), int(document.size()), "tolvan.xtol",
        nullptr, XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR);
    if (!parsed)
        return false;
    xmlFreeDoc(parsed);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, ignoreLibxmlMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QVector<Scheme> schemes;
    int lastScheme = -1;
    read(input, &schemes, &lastScheme);
    if (schemes.isEmpty()) {
        // The window falls back to its default scheme.
        check(lastScheme == 0, "an index without schemes");
        return 0;
    }
    check(lastScheme >= 0 && lastScheme < schemes.size(), "an index outside the schemes");

    const QByteArray written = XmlWriter(QStringLiteral("1.9"), lastScheme).document(schemes);
    check(conformingParserAccepts(written), "a written file that XML 1.0 refuses", written);

    QVector<Scheme> reread;
    int rereadLastScheme = -1;
    check(read(written, &reread, &rereadLastScheme), "a written file that reads with an error",
        written);
    check(rereadLastScheme == lastScheme, "the index changed on a round trip", written);
    check(
        sameSchemes(reread, storableSchemes(schemes)), "a scheme changed on a round trip", written);
    check(XmlWriter(QStringLiteral("1.9"), rereadLastScheme).document(reread) == written,
        "a second write gave other bytes", written);
    return 0;
}
