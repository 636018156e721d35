#include "programdriver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

bool copyExecutable(const QString &from, const QString &to)
{
    return QFile::copy(from, to)
        && QFile::setPermissions(to, QFile::permissions(from) | QFile::ExeOwner);
}

} // namespace

ProgramDriver::ProgramDriver(HookLibrary library)
{
    if (!dir.isValid()) {
        failure = QStringLiteral("no temporary directory");
        return;
    }
    if (!copyExecutable(QStringLiteral(TOLVAN_PROGRAM), dir.filePath(QStringLiteral("tolvan")))
        || (library == WithHookLibrary
            && !QFile::copy(QStringLiteral(TOLVAN_TEST_DIR "/libhook.so"),
                dir.filePath(QStringLiteral("libhook.so"))))) {
        failure = QStringLiteral("cannot copy the program into %1").arg(dir.path());
        return;
    }

    // A display number no other server (or parallel test) holds: the socket file tells.
    for (int number = 40 + int(QCoreApplication::applicationPid() % 400); number < 1000; ++number) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        const QString lock = QStringLiteral("/tmp/.X%1-lock").arg(number);
        if (QFileInfo::exists(socket) || QFileInfo::exists(lock))
            continue;
        display = QStringLiteral(":%1").arg(number);
        server = std::make_unique<QProcess>();
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // -noreset: else the server resets whenever its last client leaves, refusing
        // connections meanwhile.
        const QStringList arguments = {display, QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
            QStringLiteral("-noreset")};
        server->start(QStringLiteral("Xvfb"), arguments);
        if (!server->waitForStarted()) {
            failure = QStringLiteral("Xvfb does not start: %1").arg(server->errorString());
            return;
        }
        // The socket appears before the server takes clients: ask it something instead.
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && server->state() == QProcess::Running) {
            if (QFileInfo::exists(socket) && xdotool({QStringLiteral("getdisplaygeometry")}))
                return;
            QThread::msleep(20);
        }
        server->kill();
        server->waitForFinished();
    }
    failure = QStringLiteral("no X display could be started");
}

ProgramDriver::~ProgramDriver()
{
    for (QProcess *program : std::as_const(programs)) {
        program->kill();
        program->waitForFinished();
        delete program;
    }
    if (server) {
        server->terminate();
        if (!server->waitForFinished(5000))
            server->kill();
    }
}

QProcess *ProgramDriver::start(const QString &program)
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("TOLVAN_HOOKDOUBLE_LOG"), dir.filePath("hookcalls.log"));
    // The window is never freed, by design: the leak checker would call that a leak.
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(dir.path());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(program.isEmpty() ? dir.filePath(QStringLiteral("tolvan")) : program, {});
    process->waitForStarted();
    programs.append(process);
    return process;
}

bool ProgramDriver::xdotool(const QStringList &arguments, QString *output)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList ProgramDriver::windows(const QString &title)
{
    QString output;
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                title},
        &output);
    return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString ProgramDriver::waitForWindow(const QString &title, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QStringList found = windows(title);
        if (!found.isEmpty())
            return found.first();
        QThread::msleep(50);
    }
    return QString();
}

bool ProgramDriver::pressKeys(const QString &window, const QStringList &keys)
{
    return xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window})
        && xdotool(
            QStringList {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30")}
            + keys);
}

bool ProgramDriver::answerBox(const QString &title, int timeoutMs)
{
    const QString box = waitForWindow(title, timeoutMs);
    return !box.isEmpty() && pressKeys(box, {QStringLiteral("Return")});
}

QStringList ProgramDriver::hookCalls() const
{
    QFile log(dir.filePath(QStringLiteral("hookcalls.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
