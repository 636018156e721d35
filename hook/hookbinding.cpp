#include "hook/hookrecordbuilder.h"
#include "mainwindow/tolvan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>

#include <cstdlib>

namespace {

// QLibrary searches only the system's library directories, never the program's own, so the
// library is loaded by absolute path: beside the program (the build tree), else from the
// private directory an installation puts it in, relative to the program so that a staged
// installation works too.
QString hookLibraryPath()
{
#ifdef Q_OS_WIN
    const QString fileName = QStringLiteral("hook.dll");
#else
    const QString fileName = QStringLiteral("libhook.so");
#endif
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString besideProgram = programDir.filePath(fileName);
    const QString installed
        = programDir.filePath(QStringLiteral(TOLVAN_HOOK_DIR_FROM_PROGRAM_DIR "/") + fileName);
    if (!QFileInfo::exists(besideProgram) && QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return besideProgram;
}

} // namespace

void Tolvan::loadHookLibrary()
{
    // Never unloaded: the hook may hold the record's address until the process ends.
    hookLibrary = new QLibrary(hookLibraryPath());
    if (!hookLibrary->load()) {
        QMessageBox::critical(this, tr("dll error"), tr("%1").arg(hookLibrary->errorString()));
        std::exit(1);
    }
}

void Tolvan::buildHookRecord()
{
    if (lastScheme < 0 || lastScheme >= schemes.size())
        return;
    ::buildHookRecord(schemes.at(lastScheme), hookRecord);
}

void Tolvan::startHook()
{
    const auto setHook = reinterpret_cast<SetHookFunction>(hookLibrary->resolve("setHook"));
    if (!setHook) {
        QMessageBox::warning(this, tr("error"),
            tr("The hook library cannot start the key change:\n%1")
                .arg(hookLibrary->errorString()));
        return;
    }
    setHook(&hookRecord);

    // Older libraries have no way to report a failure; they are taken at their word.
    const auto lastError
        = reinterpret_cast<HookLastErrorFunction>(hookLibrary->resolve("hookLastError"));
    if (lastError) {
        const char *message = lastError();
        if (message && *message) {
            QMessageBox::warning(this, tr("error"), QString::fromUtf8(message));
            return;
        }
    }
    statusShowLabel->setText(tr("running"));
}

void Tolvan::stopHook()
{
    const auto cancelHook
        = reinterpret_cast<CancelHookFunction>(hookLibrary->resolve("cancelHook"));
    if (!cancelHook) {
        QMessageBox::warning(this, tr("error"), tr("a error happen when cancel a hook"));
        return;
    }
    cancelHook();
    statusShowLabel->setText(tr("unrunning"));
}
