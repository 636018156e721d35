#include "config/xmlhandler.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QXmlStreamReader>

namespace {

const QLatin1String formatVersion("1.9");

// A value that does not convert (empty, hexadecimal, out of range, stray characters) reads as 0.
quint32 codeValue(const QString &text)
{
    return text.toUInt(nullptr, 10);
}

int signedValue(const QString &text)
{
    return text.toInt(nullptr, 10);
}

// The reader's messages belong to the context of the program's start-up texts.
QString translated(const char *text)
{
    return QCoreApplication::translate("QObject", text);
}

const char fileTypeMismatch[] = QT_TRANSLATE_NOOP("QObject", "file type does not match");
const char versionMismatch[] = QT_TRANSLATE_NOOP("QObject", "Version does not match");
const char parseError[] = QT_TRANSLATE_NOOP("QObject", "xml parse error at%1row%2col:\n%3。");

} // namespace

XmlHandler::XmlHandler(QVector<Scheme> *schemeList) : schemeList(schemeList) { }

bool XmlHandler::startElement(QStringView qName, const QXmlStreamAttributes &attributes)
{
    const bool isRoot = qName == QLatin1String("tolvan");
    if (!rootFound && !isRoot) {
        errorText = translated(fileTypeMismatch);
        return false;
    }
    if (isRoot) {
        // Only this exact text: a file of another version is refused rather than misread.
        if (attributes.value(QLatin1String("version")) != formatVersion) {
            errorText = translated(versionMismatch);
            return false;
        }
        rootFound = true;
    } else if (qName == QLatin1String("scheme")) {
        Scheme scheme;
        scheme.name = attributes.value(QLatin1String("name")).toString();
        schemeList->append(scheme);
        ++schemeDepth;
        toneKeyDepth = 0;
    } else if (qName == QLatin1String("toneKey")) {
        if (schemeDepth > 0) {
            schemeList->last().toneKeys.append(ToneKey());
            ++toneKeyDepth;
        }
    }
    // Keeps its buffer: most elements hold a few characters or only the indentation.
    currentText.resize(0);
    return true;
}

bool XmlHandler::characters(QStringView text)
{
    currentText += text;
    return true;
}

bool XmlHandler::endElement(QStringView qName)
{
    if (qName == QLatin1String("lastScheme")) {
        lastSchemeValue = signedValue(currentText);
        return true;
    }
    if (qName == QLatin1String("scheme")) {
        if (schemeDepth > 0)
            --schemeDepth;
        toneKeyDepth = 0;
        return true;
    }
    if (qName == QLatin1String("toneKey")) {
        if (toneKeyDepth > 0)
            --toneKeyDepth;
        return true;
    }
    if (schemeDepth == 0)
        return true;
    Scheme &scheme = schemeList->last();
    if (qName == QLatin1String("winShield")) {
        scheme.winShield = signedValue(currentText) != 0;
        return true;
    }
    for (const KeySetting &setting : keySettings) {
        if (qName == setting.name) {
            scheme.*setting.code = codeValue(currentText);
            return true;
        }
        if (qName == setting.textName) {
            scheme.*setting.text = currentText;
            return true;
        }
    }
    if (toneKeyDepth == 0)
        return true;
    ToneKey &toneKey = scheme.toneKeys.last();
    if (qName == QLatin1String("from"))
        toneKey.from = codeValue(currentText);
    else if (qName == QLatin1String("to"))
        toneKey.to = codeValue(currentText);
    else if (qName == QLatin1String("toneKeyText"))
        toneKey.toneKeyText = currentText;
    return true;
}

QString XmlHandler::errorString() const
{
    return errorText;
}

bool XmlHandler::fatalError(qint64 lineNumber, qint64 columnNumber, const QString &message)
{
    fatalText = translated(parseError)
                    .arg(QString::number(lineNumber), QString::number(columnNumber), message);
    return false;
}

bool XmlHandler::parse(QIODevice *device)
{
    QXmlStreamReader reader(device);
    // Names are compared as written; a prefix is part of the name, not a namespace.
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!startElement(reader.qualifiedName(), reader.attributes()))
                reader.raiseError(errorString());
            break;
        case QXmlStreamReader::EndElement:
            if (!endElement(reader.qualifiedName()))
                reader.raiseError(errorString());
            break;
        case QXmlStreamReader::Characters:
            if (!characters(reader.text()))
                reader.raiseError(errorString());
            break;
        default: break;
        }
    }
    if (reader.hasError()) {
        fatalError(reader.lineNumber(), reader.columnNumber(), reader.errorString());
        return false;
    }
    return true;
}

int XmlHandler::lastScheme() const
{
    return qBound(0, lastSchemeValue, qMax(0, int(schemeList->size()) - 1));
}

QString XmlHandler::errorMessage() const
{
    return fatalText;
}
