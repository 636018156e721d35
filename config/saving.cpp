#include "config/xmlwriter.h"
#include "mainwindow/tolvan.h"

#include <QFile>
#include <QMessageBox>
#include <QSaveFile>

namespace {

const QString fileName = QStringLiteral("tolvan.xtol");
const QString backupFileName = QStringLiteral("tolvan.xtol.bak");

// Copies the settings file as it stands to the backup file, replacing an older backup only
// once the copy is complete. A missing settings file needs no copy.
bool keepBackup(QString *reason)
{
    QFile old(fileName);
    if (!old.exists())
        return true;
    if (!old.open(QIODevice::ReadOnly)) {
        *reason = old.errorString();
        return false;
    }
    const QByteArray bytes = old.readAll();
    if (old.error() != QFileDevice::NoError) {
        *reason = old.errorString();
        return false;
    }
    QSaveFile backup(backupFileName);
    if (!backup.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(&backup, bytes)
        || !backup.commit()) {
        *reason = backup.errorString();
        backup.cancelWriting();
        return false;
    }
    return true;
}

} // namespace

XmlWriter::XmlWriter(const Tolvan *dialog)
    : XmlWriter(dialog->getVersion(), dialog->getLastScheme())
{
}

void Tolvan::ok()
{
    // While a new scheme's name is being typed, OK only ends the typing.
    if (schemeComboBox->isEditable()) {
        schemeComboBox->setEditable(false);
        return;
    }

    formToScheme();

    // The old file is replaced only by a complete new one; whatever fails leaves it as it was,
    // and the hook keeps running with the settings it has.
    const auto refuse = [this](const QString &reason) {
        QMessageBox::warning(this, tr("error"), tr("Cannot write file tolvan:\n%1.").arg(reason));
    };
    QString reason;
    if (configurationIncomplete && !keepBackup(&reason)) {
        refuse(reason);
        return;
    }
    // Unbuffered, so that every write reports what reached the disk: QSaveFile flushes its
    // buffer only while committing and then installs a file cut short by a full disk or a size
    // limit as if it were complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered)) {
        refuse(file.errorString());
        return;
    }
    XmlWriter writer(this);
    if (!writer.writeFile(&file, schemes) || file.error() != QFileDevice::NoError
        || !file.commit()) {
        refuse(file.errorString());
        file.cancelWriting();
        return;
    }
    configurationIncomplete = false;

    buildHookRecord();
    stopHook();
    startHook();
}
