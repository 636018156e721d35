#pragma once

#include "schemes/scheme.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A fresh temporary directory as the working directory, where the window reads and writes its
// settings file; the old working directory comes back when it ends.
struct WorkingDirectory
{
    WorkingDirectory() { QDir::setCurrent(directory.path()); }
    ~WorkingDirectory() { QDir::setCurrent(previous); }
    const QString previous = QDir::currentPath();
    const QTemporaryDir directory;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Each scheme on one line, so that a failed comparison shows every field:
// name|winShield|code=text of the nine keys|from>to text of each pair.
inline QStringList describe(const QVector<Scheme> &schemes)
{
    QStringList result;
    for (const Scheme &s : schemes) {
        QStringList parts {s.name, s.winShield ? QStringLiteral("on") : QStringLiteral("off")};
        const std::pair<quint32, QString> keys[] = {{s.turnOn, s.turnOnText},
            {s.enemyBlood, s.enemyBloodText}, {s.friendBlood, s.friendBloodText},
            {s.keypad7, s.keypad7Text}, {s.keypad8, s.keypad8Text}, {s.keypad4, s.keypad4Text},
            {s.keypad5, s.keypad5Text}, {s.keypad1, s.keypad1Text}, {s.keypad2, s.keypad2Text}};
        for (const auto &[code, text] : keys)
            parts << QString::number(code) + QLatin1Char('=') + text;
        for (const ToneKey &t : s.toneKeys)
            parts << QStringLiteral("%1>%2 %3").arg(t.from).arg(t.to).arg(t.toneKeyText);
        result << parts.join(QLatin1Char('|'));
    }
    return result;
}

// What an independent XML 1.0 parser says of the document; empty when it accepts it.
inline QString xmllintComplaint(const QByteArray &document)
{
    QProcess process;
    process.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("-")});
    process.write(document);
    process.closeWriteChannel();
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0)
        return QString();
    return QStringLiteral("xmllint (libxml2-utils): ") + process.errorString()
        + QString::fromLocal8Bit(process.readAllStandardError());
}
