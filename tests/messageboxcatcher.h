#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

// Answers every modal message box that opens while it lives, and keeps what each one showed so a
// test can assert on it. Message boxes run their own event loop; the timer fires inside it.
class MessageBoxCatcher : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QWidget *parent;
        int buttonCount;
        bool modal;
    };

    explicit MessageBoxCatcher(QObject *parent = nullptr);

    QList<Box> boxes;

    // Title and text of each box, "title|text", for compact comparisons.
    QStringList summaries() const;

private:
    void answer();

    QTimer timer;
};
