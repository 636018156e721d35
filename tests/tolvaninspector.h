#pragma once

#include "mainwindow/tolvan.h"

#include <QLibrary>
#include <QString>

// The tests' one door into the main window's private state.
class TolvanInspector
{
public:
    static QVector<Scheme> &schemes(Tolvan &window) { return window.schemes; }
    static int lastScheme(const Tolvan &window) { return window.lastScheme; }
    static const HookRecord *hookRecord(const Tolvan &window) { return &window.hookRecord; }
    static QListWidgetItem *currentToneKeyItem(const Tolvan &window)
    {
        return window.currentToneKeyItem;
    }
    static QLibrary *&hookLibrary(Tolvan &window) { return window.hookLibrary; }
    static QMenu *trayIconMenu(const Tolvan &window) { return window.trayIconMenu; }
    static QSystemTrayIcon *trayIcon(const Tolvan &window) { return window.trayIcon; }
    static QAction *aboutAction(const Tolvan &window) { return window.aboutAction; }
    static void buildHookRecord(Tolvan &window) { window.buildHookRecord(); }
    static void startHook(Tolvan &window) { window.startHook(); }
    static void stopHook(Tolvan &window) { window.stopHook(); }
    static void schemeToForm(Tolvan &window) { window.schemeToForm(); }
};

// What the hook library's stand-in was told. It is the same loaded library as the window's.
class HookDouble
{
public:
    static QString path() { return QStringLiteral(TOLVAN_TEST_DIR "/libhook.so"); }
    static QString calls()
    {
        return QString::fromUtf8(call<const char *(*)()>("hookDoubleCalls")());
    }
    static const HookRecord *lastAddress()
    {
        return call<const HookRecord *(*)()>("hookDoubleLastAddress")();
    }
    static const HookRecord *lastRecord()
    {
        return call<const HookRecord *(*)()>("hookDoubleLastRecord")();
    }
    // Forgets the calls; a non-null failure makes hookLastError report it from now on.
    static void reset(const char *failure = nullptr)
    {
        call<void (*)(const char *)>("hookDoubleReset")(failure);
    }

private:
    template<typename Function> static Function call(const char *name)
    {
        static QLibrary library(path());
        return reinterpret_cast<Function>(library.resolve(name));
    }
};
