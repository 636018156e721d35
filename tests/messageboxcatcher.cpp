#include "messageboxcatcher.h"

#include <QAbstractButton>
#include <QApplication>

MessageBoxCatcher::MessageBoxCatcher(QObject *parent) : QObject(parent)
{
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &MessageBoxCatcher::answer);
    timer.start();
}

QStringList MessageBoxCatcher::summaries() const
{
    QStringList result;
    for (const Box &box : boxes)
        result << box.title + QLatin1Char('|') + box.text;
    return result;
}

void MessageBoxCatcher::answer()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    boxes.append({box->windowTitle(), box->text(), box->icon(), box->parentWidget(),
        int(box->buttons().size()), box->isModal()});
    // Each box must be closeable by its one button, as a user would do.
    const QList<QAbstractButton *> buttons = box->buttons();
    if (!buttons.isEmpty())
        buttons.first()->click();
    else
        box->reject();
}
