#include "mainwindow/tolvan.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMessageBox>

Tolvan::Tolvan(QWidget *parent)
    : QDialog(parent),
      hookLibrary(nullptr),
      version(QStringLiteral("1.9")),
      currentToneKeyItem(nullptr),
      lastScheme(0)
{
    setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);

    if (!loadConfiguration()) {
        setSchemeDefaults(defaultScheme);
        defaultScheme.name = schemeComboBox->itemText(0);
        schemes.append(defaultScheme);
        lastScheme = 0;
    }

    loadHookLibrary();

    toneKeyGroupBox->hide();
    schemeGroupBox->hide();
    turnOnLineEdit->setEnabled(false);

    createTray();
    trayIcon->show();

    globalSetGroupBox->setFixedSize(309, 81);
    keypadGroupBox->setFixedSize(224, 108);
    toneKeyGroupBox->setFixedSize(309, 167);
    enemyBloodLineEdit->setFixedSize(76, 21);
    gridLayout_5->setSizeConstraint(QLayout::SetFixedSize);

    advanceEditButton->setEnabled(false);
    advanceDeleteButton->setEnabled(false);
    schemeDeleteButton->setEnabled(false);

    schemeToForm();
    schemeComboBox->setCurrentIndex(lastScheme);

    // Connections come last, so that none of the start-up work above runs a slot.
    connect(aboutButton, &QPushButton::clicked, this, &Tolvan::about);
    connect(okButton, &QPushButton::clicked, this, &Tolvan::ok);
    connect(cancelButton, &QPushButton::clicked, this, &Tolvan::cancel);
    connect(advanceOptionButton, &QPushButton::toggled, this, &Tolvan::advanceButtonToggled);
    connect(advanceNewButton, &QPushButton::clicked, this, &Tolvan::advanceNewButtonClicked);
    connect(advanceEditButton, &QPushButton::clicked, this, &Tolvan::advanceEditButtonClicked);
    connect(advanceDeleteButton, &QPushButton::clicked, this, &Tolvan::advanceDeleteButtonClicked);
    connect(toneKeyListWidget, &QListWidget::itemClicked, this, &Tolvan::listWidgetItemClicked);
    connect(schemeNewButton, &QPushButton::clicked, this, &Tolvan::schemeNewButtonClicked);
    connect(schemeDeleteButton, &QPushButton::clicked, this, &Tolvan::schemeDeleteButtonClicked);
    connect(
        schemeComboBox, &QComboBox::currentIndexChanged, this, &Tolvan::schemeComboBoxIndexChanged);
    connect(
        schemeComboBox, &QComboBox::editTextChanged, this, &Tolvan::schemeComboBoxEditTextChanged);
    connect(schemeComboBox, &QComboBox::highlighted, this, &Tolvan::schemeHighlighted);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Tolvan::iconActivated);
}

// The hook stays set and the library loaded: both last until the process ends.
Tolvan::~Tolvan() = default;

QString Tolvan::getVersion() const
{
    return version;
}

int Tolvan::getLastScheme() const
{
    return lastScheme;
}

void Tolvan::setLastScheme(int index)
{
    lastScheme = index;
}

void Tolvan::createTray()
{
    showAction = new QAction(tr("Show"), this);
    connect(showAction, &QAction::triggered, this, &QWidget::show);
    quitAction = new QAction(tr("Quit"), this);
    connect(quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
    aboutAction = new QAction(tr("About"), this);
    connect(aboutAction, &QAction::triggered, this, &Tolvan::about);

    trayIconMenu = new QMenu(this);
    trayIconMenu->addAction(showAction);
    trayIconMenu->addAction(aboutAction);
    trayIconMenu->addSeparator();
    trayIconMenu->addAction(quitAction);

    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setContextMenu(trayIconMenu);
    trayIcon->setIcon(QIcon(QStringLiteral(":/images/Tolvan.png")));
    trayIcon->setToolTip(tr("tolvan series key change"));
}

void Tolvan::closeEvent(QCloseEvent *event)
{
    // The program lives on in the tray; only the tray menu's Quit ends it.
    hide();
    event->ignore();
}

void Tolvan::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::MiddleClick: setVisible(true); break;
    default: break;
    }
}

void Tolvan::about()
{
    QMessageBox::about(this, tr("About"),
        tr("<h2>tolvan 1.9</h2>"
           "<p>Copyright &copy; 2026 the tolvan developers.</p>"
           "<p>Questions and ideas are welcome in the "
           "<a href=\"https://forum.tolvan.example/\">tolvan forum</a>.</p>"));
}

void Tolvan::advanceButtonToggled(bool checked)
{
    advanceOptionButton->setText(checked ? tr("Advance<<") : tr("Advance>>"));
}
