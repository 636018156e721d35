// The floor for the start-up benchmark: the least a Qt 6 widget program does to show a dialog.
#include <QApplication>
#include <QDialog>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("floor"));
    dialog.resize(327, 247);
    dialog.show();
    return application.exec();
}
