#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Runs the real program in a real window: its own Xvfb, a temporary working directory holding a
// copy of the program and, unless told otherwise, the hook library's stand-in beside it. Windows
// are found by their title and driven with xdotool, as a user would.
class ProgramDriver
{
public:
    enum HookLibrary
    {
        WithHookLibrary,
        WithoutHookLibrary
    };

    explicit ProgramDriver(HookLibrary library = WithHookLibrary);
    ~ProgramDriver();

    // Empty when the display and the directory are ready, else what went wrong.
    QString error() const { return failure; }
    QString workDir() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

    // Starts one more copy of the program (by default the copy in the working directory); the
    // driver ends whatever still runs when it goes.
    QProcess *start(const QString &program = QString());

    // Ids of the visible windows whose title matches the regular expression.
    QStringList windows(const QString &title);
    // Waits until a window with that title is visible; returns its id or an empty string.
    QString waitForWindow(const QString &title, int timeoutMs = 10000);
    // Gives the window the keyboard focus and sends it the keys (xdotool key names).
    bool pressKeys(const QString &window, const QStringList &keys);
    // Answers a message box with the given title by pressing Return on its focused button.
    bool answerBox(const QString &title, int timeoutMs = 10000);
    // The calls the hook library's stand-in got, one per line ("set", "cancel").
    QStringList hookCalls() const;

    bool xdotool(const QStringList &arguments, QString *output = nullptr);

private:
    QTemporaryDir dir;
    QString display;
    QString failure;
    std::unique_ptr<QProcess> server;
    QList<QProcess *> programs;
};
