#pragma once

#include "hook/hookrecord.h"
#include "schemes/scheme.h"
#include "ui_tolvan.h"

#include <QDialog>
#include <QString>
#include <QSystemTrayIcon>
#include <QVector>

class QAction;
class QCloseEvent;
class QLibrary;
class QListWidgetItem;
class QMenu;

// The program's only window. It owns all of the program's state: the schemes, the record handed
// to the hook library and the library itself. The form is the working copy of the selected
// scheme; OK stores it, writes the file and applies it.
class Tolvan : public QDialog, public Ui::tolvan
{
    Q_OBJECT

public:
    explicit Tolvan(QWidget *parent = nullptr);
    ~Tolvan() override;

    QString getVersion() const;
    int getLastScheme() const;
    void setLastScheme(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void advanceNewButtonClicked();
    void advanceEditButtonClicked();
    void advanceDeleteButtonClicked();
    void advanceButtonToggled(bool checked);
    void listWidgetItemClicked(QListWidgetItem *item);
    void schemeNewButtonClicked();
    void schemeDeleteButtonClicked();
    void schemeComboBoxIndexChanged(int index);
    void schemeComboBoxEditTextChanged(const QString &text);
    void schemeHighlighted(int index);
    void about();
    void ok();
    void cancel();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);

private:
    void createTray();
    void loadHookLibrary();
    bool loadConfiguration();
    void setSchemeDefaults(Scheme &scheme);
    void schemeToForm();
    void formToScheme();
    void buildHookRecord();
    void startHook();
    void stopHook();

    QLibrary *hookLibrary;
    QString version;
    QListWidgetItem *currentToneKeyItem;
    Scheme defaultScheme;
    QVector<Scheme> schemes;
    HookRecord hookRecord;
    int lastScheme;
    QAction *showAction;
    QAction *quitAction;
    QAction *aboutAction;
    QMenu *trayIconMenu;
    QSystemTrayIcon *trayIcon;
    // The settings file at start could not be read to its end: the first OK keeps its bytes as a
    // backup before it replaces the file.
    bool configurationIncomplete = false;

    // The tests look at the state behind the form through this one door.
    friend class TolvanInspector;
};
