#pragma once

#include "schemes/scheme.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A fresh temporary directory as the working directory, where the window reads and writes its
// settings file; the old working directory comes back when it ends.
class WorkingDirectory
{
public:
    WorkingDirectory() : previous(QDir::currentPath()) { QDir::setCurrent(directory.path()); }
    ~WorkingDirectory() { QDir::setCurrent(previous); }
    QString path() const { return directory.path(); }
    QString filePath(const QString &name) const { return directory.filePath(name); }

private:
    QString previous;
    QTemporaryDir directory;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A scheme on one line, for comparisons whose failure shows every field:
// name|winShield|code=text of the nine keys|from>to text of each pair.
inline QString describe(const Scheme &scheme)
{
    QStringList parts { scheme.name,
        scheme.winShield ? QStringLiteral("on") : QStringLiteral("off") };
    const QList<QPair<quint32, QString>> keys { { scheme.turnOn, scheme.turnOnText },
        { scheme.enemyBlood, scheme.enemyBloodText },
        { scheme.friendBlood, scheme.friendBloodText }, { scheme.keypad7, scheme.keypad7Text },
        { scheme.keypad8, scheme.keypad8Text }, { scheme.keypad4, scheme.keypad4Text },
        { scheme.keypad5, scheme.keypad5Text }, { scheme.keypad1, scheme.keypad1Text },
        { scheme.keypad2, scheme.keypad2Text } };
    for (const auto &key : keys)
        parts << QString::number(key.first) + QLatin1Char('=') + key.second;
    for (const ToneKey &toneKey : scheme.toneKeys)
        parts << QStringLiteral("%1>%2 %3")
                     .arg(toneKey.from)
                     .arg(toneKey.to)
                     .arg(toneKey.toneKeyText);
    return parts.join(QLatin1Char('|'));
}

inline QStringList describe(const QVector<Scheme> &schemes)
{
    QStringList result;
    for (const Scheme &scheme : schemes)
        result << describe(scheme);
    return result;
}

// The document of a settings file around `body`, in the layout the program writes.
inline QByteArray settingsDocument(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xtol>\n<tolvan version=\"1.9\">\n"
        + body + "</tolvan>\n";
}

// One scheme element with the given name and extra content after the default fields.
inline QByteArray schemeElement(const QByteArray &name, const QByteArray &content = QByteArray())
{
    return "<scheme name=\"" + name
        + "\"><winShield>1</winShield><turnOn>145</turnOn><turnOnText>ScrollLock</turnOnText>"
          "<enemyBlood>35</enemyBlood><enemyBloodText>End</enemyBloodText>"
          "<friendBlood>36</friendBlood><friendBloodText>Home</friendBloodText>"
        + content + "</scheme>\n";
}
