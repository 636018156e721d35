#include "ui_tolvan.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QDialog window;
    Ui::tolvan form;
    form.setupUi(&window);
    window.show();
    return app.exec();
}
