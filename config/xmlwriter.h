#pragma once

#include "schemes/scheme.h"

#include <QString>
#include <QTextStream>
#include <QVector>

class QIODevice;
class Tolvan;

// Writes every scheme as the settings document, one element per line, in the layout that earlier
// files have, so that a file read and written again keeps its bytes.
class XmlWriter
{
public:
    // Takes the format version and the selected scheme's index from the window.
    explicit XmlWriter(const Tolvan *dialog);
    XmlWriter(const QString &version, int lastScheme);

    // True only when the whole document reached the device. A device that takes part of it and
    // then refuses (a full disk, a file-size limit) gives false, so the caller can keep the old
    // file instead of installing a short one.
    bool writeFile(QIODevice *device, const QVector<Scheme> &schemes);

    // The document as bytes, exactly as writeFile() writes it.
    QByteArray document(const QVector<Scheme> &schemes);

    static QString indent(int level);

private:
    void writeScheme(const Scheme &scheme);

    QString version;
    int lastScheme;
    QTextStream out;
};

// Writes all of `bytes`, or returns false with the device's reason. A file reports a write cut
// short by a size limit or a full disk without an error; only the next write fails and names the
// reason, so writing goes on until everything is out or a write fails.
bool writeAll(QIODevice *device, const QByteArray &bytes);
