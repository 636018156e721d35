#pragma once

#include <QLineEdit>

class QKeyEvent;

// A field that captures one key instead of taking typed text: it shows the key's name and keeps
// its virtual-key code in `key`. Owners that show a stored scheme set the text and `key` directly.
class MyLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MyLineEdit(QWidget *parent = nullptr);

    // The name shown for the key of `event`, or an empty string when the key is refused.
    QString keyName(QKeyEvent *event);

    quint32 key;

signals:
    void keyChanged(quint32 key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
