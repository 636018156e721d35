#include "config/xmlwriter.h"

#include "config/xmltext.h"

#include <QIODevice>

#include <iterator>

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
        out << indent(2) << '<' << setting.name << '>' << scheme.*setting.code
            << QLatin1String("</") << setting.name << QLatin1String(">\n");
        out << indent(2) << '<' << setting.textName << '>'
            << xmlEscaped(scheme.*setting.text, XmlTextPlace::Content) << QLatin1String("</")
            << setting.textName << QLatin1String(">\n");
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
