#include "config/xmlwriter.h"

#include "config/xmltext.h"

#include <QIODevice>

#include <iterator>

namespace {

struct KeySetting
{
    QLatin1String element;
    quint32 Scheme::*code;
    QLatin1String textElement;
    QString Scheme::*text;
};

const KeySetting keySettings[] = {
    {QLatin1String("turnOn"), &Scheme::turnOn, QLatin1String("turnOnText"), &Scheme::turnOnText},
    {QLatin1String("enemyBlood"), &Scheme::enemyBlood, QLatin1String("enemyBloodText"),
        &Scheme::enemyBloodText},
    {QLatin1String("friendBlood"), &Scheme::friendBlood, QLatin1String("friendBloodText"),
        &Scheme::friendBloodText},
    {QLatin1String("keypad7"), &Scheme::keypad7, QLatin1String("keypad7Text"),
        &Scheme::keypad7Text},
    {QLatin1String("keypad8"), &Scheme::keypad8, QLatin1String("keypad8Text"),
        &Scheme::keypad8Text},
    {QLatin1String("keypad4"), &Scheme::keypad4, QLatin1String("keypad4Text"),
        &Scheme::keypad4Text},
    {QLatin1String("keypad5"), &Scheme::keypad5, QLatin1String("keypad5Text"),
        &Scheme::keypad5Text},
    {QLatin1String("keypad1"), &Scheme::keypad1, QLatin1String("keypad1Text"),
        &Scheme::keypad1Text},
    {QLatin1String("keypad2"), &Scheme::keypad2, QLatin1String("keypad2Text"),
        &Scheme::keypad2Text},
};

} // namespace

XmlWriter::XmlWriter(const QString &version, int lastScheme)
    : version(version), lastScheme(lastScheme)
{
}

QString XmlWriter::indent(int level)
{
    static const QString levels[] = {QString(), QString(4, QLatin1Char(' ')),
        QString(8, QLatin1Char(' ')), QString(12, QLatin1Char(' '))};
    if (level >= 0 && level < int(std::size(levels)))
        return levels[level];
    return QString(4 * level, QLatin1Char(' '));
}

QByteArray XmlWriter::document(const QVector<Scheme> &schemes)
{
    // Numbers in the stream's default form: base 10, no padding, a sign only when negative.
    QString text;
    out.setString(&text);
    out << QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")
        << QLatin1String("<!DOCTYPE xtol>\n") << QLatin1String("<tolvan version=\"")
        << xmlEscaped(version, XmlTextPlace::Attribute) << QLatin1String("\">\n") << indent(1)
        << QLatin1String("<lastScheme>") << lastScheme << QLatin1String("</lastScheme>\n");
    for (const Scheme &scheme : schemes)
        writeScheme(scheme);
    out << QLatin1String("</tolvan>\n");
    out.flush();
    out.setString(nullptr);
    return text.toUtf8();
}

void XmlWriter::writeScheme(const Scheme &scheme)
{
    out << indent(1) << QLatin1String("<scheme name=\"")
        << xmlEscaped(scheme.name, XmlTextPlace::Attribute) << QLatin1String("\">\n");
    out << indent(2) << QLatin1String("<winShield>") << (scheme.winShield ? 1 : 0)
        << QLatin1String("</winShield>\n");
    for (const KeySetting &setting : keySettings) {
        out << indent(2) << '<' << setting.element << '>' << scheme.*setting.code
            << QLatin1String("</") << setting.element << QLatin1String(">\n");
        out << indent(2) << '<' << setting.textElement << '>'
            << xmlEscaped(scheme.*setting.text, XmlTextPlace::Content) << QLatin1String("</")
            << setting.textElement << QLatin1String(">\n");
    }
    for (const ToneKey &toneKey : scheme.toneKeys) {
        out << indent(2) << QLatin1String("<toneKey>\n");
        out << indent(3) << QLatin1String("<toneKeyText>")
            << xmlEscaped(toneKey.toneKeyText, XmlTextPlace::Content)
            << QLatin1String("</toneKeyText>\n");
        out << indent(3) << QLatin1String("<from>") << toneKey.from << QLatin1String("</from>\n");
        out << indent(3) << QLatin1String("<to>") << toneKey.to << QLatin1String("</to>\n");
        out << indent(2) << QLatin1String("</toneKey>\n");
    }
    out << indent(1) << QLatin1String("</scheme>\n");
}

bool XmlWriter::writeFile(QIODevice *device, const QVector<Scheme> &schemes)
{
    return writeAll(device, document(schemes));
}

bool writeAll(QIODevice *device, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 result = device->write(bytes.constData() + written, bytes.size() - written);
        if (result <= 0)
            return false;
        written += result;
    }
    return true;
}
