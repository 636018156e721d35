#include "keycapture/tonekeydialog.h"

#include "keycapture/mylineedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ToneKeyDialog::ToneKeyDialog(QWidget *parent) : QDialog(parent)
{
    changeToLabel = new QLabel(tr("change to:"), this);
    fromLineEdit = new MyLineEdit(this);
    fromLineEdit->setFixedWidth(60);
    toLineEdit = new MyLineEdit(this);
    toLineEdit->setFixedWidth(60);

    auto *keysLayout = new QHBoxLayout;
    keysLayout->addWidget(fromLineEdit);
    keysLayout->addWidget(changeToLabel);
    keysLayout->addWidget(toLineEdit);

    okButton = new QPushButton(tr("ok"), this);
    cancelButton = new QPushButton(tr("cancel"), this);
    auto *buttonsLayout = new QHBoxLayout;
    buttonsLayout->addStretch();
    buttonsLayout->addWidget(okButton);
    buttonsLayout->addWidget(cancelButton);

    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->addLayout(keysLayout);
    mainLayout->addLayout(buttonsLayout);

    setFixedSize(sizeHint());
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}
