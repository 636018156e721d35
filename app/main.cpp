#include "mainwindow/tolvan.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSharedMemory>
#include <QSystemSemaphore>
#include <QTranslator>

#include <cstdlib>

namespace {

// The working directory first, as users have always placed the file there; then the program's
// own directory and the installed translations, so that a program started from a menu is
// translated too. Without any of them every text shows its source form.
void loadTranslation(QTranslator &translator)
{
    const QString fileName = QStringLiteral("tolvan_chs.qm");
    if (translator.load(fileName))
        return;
    const QDir programDir(QCoreApplication::applicationDirPath());
    if (translator.load(fileName, programDir.path()))
        return;
    (void)translator.load(
        fileName, programDir.filePath(QStringLiteral(TOLVAN_TRANSLATIONS_FROM_PROGRAM_DIR)));
}

// On Linux the marker is a System V segment that outlives a process that crashed or was killed:
// without this every later start would be refused. Attaching and detaching removes the segment
// only when no live process holds it, and the instance lock keeps other starts out meanwhile.
void removeStaleMarker()
{
    QSharedMemory stale(QStringLiteral("SystemObject"));
    if (stale.attach())
        stale.detach();
}

// exit() skips main's destructors; the hook library failure ends the process that way.
QSharedMemory *markerHeldByThisProcess = nullptr;
void releaseMarker()
{
    if (markerHeldByThisProcess)
        markerHeldByThisProcess->detach();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTranslator translator;
    loadTranslation(translator);
    application.installTranslator(&translator);

    QSystemSemaphore instanceLock(QStringLiteral("KOBKey"), 1, QSystemSemaphore::Open);
    instanceLock.acquire();
    removeStaleMarker();
    QSharedMemory instanceMarker(QStringLiteral("SystemObject"));
    if (!instanceMarker.create(1, QSharedMemory::ReadWrite)) {
        // The lock stays held while the box is open: a third start waits for this one.
        QMessageBox::critical(
            nullptr, QObject::tr("error"), QObject::tr("application alreally run!"));
        instanceLock.release();
        return 0;
    }
    instanceLock.release();
    markerHeldByThisProcess = &instanceMarker;
    std::atexit(releaseMarker);

    // Never deleted: it lives until the process ends.
    auto *window = new Tolvan;
    window->show();
    const int result = application.exec();
    markerHeldByThisProcess = nullptr;
    return result;
}
