#include "messageboxcatcher.h"
#include "tolvaninspector.h"

#include <QAction>
#include <QMenu>
#include <QTranslator>
#include <QtTest>

#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void constructionState();
    void fixedSize();
    void trayMenu();
    void trayMenuTranslated();
    void closeHidesTheWindow();
    void trayActivation_data();
    void trayActivation();
    void advanceCaption();
    void aboutWhileHidden();
    void startAndStopTheHook();
    void hookLibraryReportsFailure();
    void hookLibraryWithoutExports();

private:
    std::unique_ptr<Tolvan> window;
};

void TestMainWindow::init()
{
    HookDouble::reset();
    window = std::make_unique<Tolvan>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestMainWindow::cleanup()
{
    window.reset();
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestMainWindow::constructionState()
{
    QVERIFY(!window->advanceEditButton->isEnabled());
    QVERIFY(!window->advanceDeleteButton->isEnabled());
    QVERIFY(!window->schemeDeleteButton->isEnabled());
    QVERIFY(!window->turnOnLineEdit->isEnabled());
    QVERIFY(!window->toneKeyGroupBox->isVisible());
    QVERIFY(!window->schemeGroupBox->isVisible());
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("未改键"));
    QCOMPARE(window->windowTitle(), QStringLiteral("默认方案 - tolvan key change"));
    QCOMPARE(window->turnOnLineEdit->text(), QStringLiteral("ScrollLock"));
    QCOMPARE(window->turnOnLineEdit->key, 145u);
    QVERIFY(window->winShieldRadioButton->isChecked());
    QVERIFY(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    const QVector<Scheme> &schemes = TolvanInspector::schemes(*window);
    QCOMPARE(schemes.size(), 1);
    QCOMPARE(schemes.first().name, QStringLiteral("默认方案"));
    QCOMPARE(TolvanInspector::lastScheme(*window), 0);
    QCOMPARE(window->schemeComboBox->count(), 1);
    QCOMPARE(window->schemeComboBox->currentIndex(), 0);
    // Nothing reaches the hook library before the first OK.
    QCOMPARE(HookDouble::calls(), QString());
}

void TestMainWindow::fixedSize()
{
    QCOMPARE(window->layout()->sizeConstraint(), QLayout::SetFixedSize);
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY2(window->width() <= 327, qPrintable(QString::number(window->width())));
    const int collapsed = window->height();

    window->advanceOptionButton->click();
    QTRY_VERIFY(window->height() > collapsed);
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY2(window->width() <= 327, qPrintable(QString::number(window->width())));

    window->advanceOptionButton->click();
    QTRY_COMPARE(window->height(), collapsed);
}

void TestMainWindow::trayMenu()
{
    QStringList entries;
    for (const QAction *action : TolvanInspector::trayIconMenu(*window)->actions())
        entries << (action->isSeparator() ? QStringLiteral("--") : action->text());
    QCOMPARE(entries, (QStringList {"Show", "About", "--", "Quit"}));
    QSystemTrayIcon *tray = TolvanInspector::trayIcon(*window);
    QCOMPARE(tray->toolTip(), QStringLiteral("tolvan series key change"));
    QCOMPARE(tray->contextMenu(), TolvanInspector::trayIconMenu(*window));
    QVERIFY(tray->isVisible());
    QVERIFY(!tray->icon().isNull());
}

void TestMainWindow::trayMenuTranslated()
{
    window.reset();
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(TOLVAN_QM_FILE)));
    QCoreApplication::installTranslator(&translator);
    window = std::make_unique<Tolvan>();

    QStringList entries;
    for (const QAction *action : TolvanInspector::trayIconMenu(*window)->actions())
        entries << (action->isSeparator() ? QStringLiteral("--") : action->text());
    QCOMPARE(entries, (QStringList {"显示", "关于", "--", "退出"}));
    window->advanceOptionButton->click();
    QCOMPARE(window->advanceOptionButton->text(), QStringLiteral("高级设定<<"));

    QCoreApplication::removeTranslator(&translator);
}

void TestMainWindow::closeHidesTheWindow()
{
    QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);
    QVERIFY(!window->close());
    QVERIFY(!window->isVisible());
    QVERIFY(TolvanInspector::trayIcon(*window)->isVisible());
    QCOMPARE(quit.count(), 0);

    TolvanInspector::trayIconMenu(*window)->actions().first()->trigger();
    QVERIFY(window->isVisible());
}

void TestMainWindow::trayActivation_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("shows");

    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << false;
    QTest::newRow("context menu") << QSystemTrayIcon::Context << false;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << true;
    QTest::newRow("click") << QSystemTrayIcon::Trigger << true;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << true;
}

void TestMainWindow::trayActivation()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, shows);

    window->close();
    QVERIFY(!window->isVisible());
    emit TolvanInspector::trayIcon(*window)->activated(reason);
    QCOMPARE(window->isVisible(), shows);
}

void TestMainWindow::advanceCaption()
{
    QCOMPARE(window->advanceOptionButton->text(), QStringLiteral("高级设定>>"));
    window->advanceOptionButton->click();
    QCOMPARE(window->advanceOptionButton->text(), QStringLiteral("Advance<<"));
    window->advanceOptionButton->click();
    QCOMPARE(window->advanceOptionButton->text(), QStringLiteral("Advance>>"));
}

void TestMainWindow::aboutWhileHidden()
{
    window->close();
    MessageBoxCatcher catcher;
    TolvanInspector::aboutAction(*window)->trigger();
    QCOMPARE(catcher.boxes.size(), 1);
    QCOMPARE(catcher.boxes.first().title, QStringLiteral("About"));
    QVERIFY(catcher.boxes.first().text.contains(QStringLiteral("<h2>tolvan 1.9</h2>")));
    QCOMPARE(catcher.boxes.first().parent, window.get());
    QVERIFY(!window->isVisible());

    window->show();
    QTest::mouseClick(window->aboutButton, Qt::LeftButton);
    QCOMPARE(catcher.boxes.size(), 2);
    QCOMPARE(catcher.boxes.at(1).title, QStringLiteral("About"));
}

void TestMainWindow::startAndStopTheHook()
{
    TolvanInspector::buildHookRecord(*window);
    TolvanInspector::stopHook(*window);
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("unrunning"));
    TolvanInspector::startHook(*window);
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("running"));

    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));
    // The library gets the window's own record, which stays at one address for the whole run.
    QCOMPARE(HookDouble::lastAddress(), TolvanInspector::hookRecord(*window));
    QCOMPARE(HookDouble::lastRecord()->turnOn, 145u);
    QCOMPARE(HookDouble::lastRecord()->toneKeyCount, 0);
}

void TestMainWindow::hookLibraryReportsFailure()
{
    HookDouble::reset("no keyboard can be read: add yourself to the input group");
    MessageBoxCatcher catcher;
    TolvanInspector::stopHook(*window);
    TolvanInspector::startHook(*window);

    QCOMPARE(catcher.summaries(),
        QStringList {"error|no keyboard can be read: add yourself to the input group"});
    QCOMPARE(catcher.boxes.first().icon, QMessageBox::Warning);
    QCOMPARE(catcher.boxes.first().parent, window.get());
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("unrunning"));
    HookDouble::reset();
}

void TestMainWindow::hookLibraryWithoutExports()
{
    QLibrary partial(QStringLiteral(TOLVAN_TEST_DIR "/libhookpartial.so"));
    QVERIFY2(partial.load(), qPrintable(partial.errorString()));
    QLibrary *real = TolvanInspector::hookLibrary(*window);
    TolvanInspector::hookLibrary(*window) = &partial;

    MessageBoxCatcher catcher;
    TolvanInspector::stopHook(*window);
    TolvanInspector::startHook(*window);
    TolvanInspector::hookLibrary(*window) = real;

    QCOMPARE(catcher.boxes.size(), 2);
    QCOMPARE(
        catcher.summaries().first(), QStringLiteral("error|a error happen when cancel a hook"));
    QCOMPARE(catcher.boxes.at(1).title, QStringLiteral("error"));
    QCOMPARE(catcher.boxes.at(1).icon, QMessageBox::Warning);
    // Neither call took effect, so the status still tells the truth.
    QCOMPARE(window->statusShowLabel->text(), QStringLiteral("未改键"));
    QCOMPARE(HookDouble::calls(), QString());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
