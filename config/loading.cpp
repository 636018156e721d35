#include "config/xmlhandler.h"
#include "mainwindow/tolvan.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>

// True when the file gave at least one scheme. False sends the constructor to the default
// scheme: for a missing or unreadable file, and also for a file that yields nothing usable
// (another root, another version, broken before its first scheme), after its box.
bool Tolvan::loadConfiguration()
{
    QFile file(QStringLiteral("tolvan.xtol"));
    if (!file.open(QIODevice::ReadOnly)) {
        // A file that is there but cannot be read must not be replaced without a copy.
        configurationIncomplete = file.exists();
        return false;
    }

    XmlHandler handler(&schemes);
    if (!handler.parse(&file)) {
        configurationIncomplete = true;
        QMessageBox::information(
            window(), QCoreApplication::translate("QObject", "file error"), handler.errorMessage());
    }
    file.close();

    if (schemes.isEmpty())
        return false;
    // The selector's first entry, the form's own, stands for the first scheme whatever its name.
    for (qsizetype i = 1; i < schemes.size(); ++i)
        schemeComboBox->addItem(schemes.at(i).name);
    lastScheme = handler.lastScheme();
    return true;
}
