#pragma once

#include "schemes/scheme.h"

#include <QString>
#include <QStringView>
#include <QVector>

class QIODevice;
class QXmlStreamAttributes;

// Builds schemes from the settings document as its parts arrive, in document order. Elements are
// recognised by name wherever they stand and unknown ones are ignored, so files from other
// versions of the program and files edited by hand read as far as they make sense. It touches
// nothing but the list it fills; the window shows the error and the selector entries itself.
class XmlHandler
{
public:
    explicit XmlHandler(QVector<Scheme> *schemeList);

    // Each returns false to stop the parse.
    bool startElement(QStringView qName, const QXmlStreamAttributes &attributes);
    bool endElement(QStringView qName);
    bool characters(QStringView text);
    QString errorString() const;
    bool fatalError(qint64 lineNumber, qint64 columnNumber, const QString &message);

    // Reads the document on `device` to its end, driving the callbacks above. False when it
    // stopped early: not well-formed, or not a settings file of this version.
    bool parse(QIODevice *device);

    // The last `lastScheme` of the document (0 when it has none), brought into the range of the
    // schemes in the list, so that it always names one of them; 0 when the list is empty.
    int lastScheme() const;
    // Why the parse stopped, with line and column, as the user is told.
    QString errorMessage() const;

private:
    QVector<Scheme> *schemeList;
    // Open `scheme` elements, and open `toneKey` elements of the scheme begun last. Fields count
    // only inside them: elsewhere they have no record of their own to go to.
    int schemeDepth = 0;
    int toneKeyDepth = 0;
    QString currentText;
    QString errorText;
    QString fatalText;
    int lastSchemeValue = 0;
    bool rootFound = false;
};
