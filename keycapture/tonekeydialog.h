#pragma once

#include <QDialog>

class MyLineEdit;
class QLabel;
class QPushButton;

// Captures one advanced pair: the key the user presses (left) and the key it becomes (right).
// It always opens empty and accepts whatever the fields hold, nothing included.
class ToneKeyDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ToneKeyDialog(QWidget *parent = nullptr);

    MyLineEdit *fromLineEdit;
    MyLineEdit *toLineEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;
    QLabel *changeToLabel;
};
