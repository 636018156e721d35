#include "keycapture/mylineedit.h"
#include "keycapture/tonekeydialog.h"
#include "mainwindow/tolvan.h"
#include "schemes/mylistwidgetitem.h"

#include <QMessageBox>

namespace {

// The list line of a captured pair, built once and stored with the pair from then on.
QString toneKeyLine(const ToneKeyDialog &dialog)
{
    return Tolvan::tr("%1         ---->         %2")
        .arg(dialog.fromLineEdit->text(), dialog.toLineEdit->text());
}

void fillItem(MyListWidgetItem *item, const ToneKeyDialog &dialog)
{
    item->setText(toneKeyLine(dialog));
    item->from = dialog.fromLineEdit->key;
    item->to = dialog.toLineEdit->key;
}

} // namespace

void Tolvan::advanceNewButtonClicked()
{
    if (toneKeyListWidget->count() > 99) {
        QMessageBox::warning(this, tr("too many"), tr("god, do you have so many?"));
        return;
    }
    ToneKeyDialog dialog(this);
    dialog.setWindowTitle(tr("new"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto *item = new MyListWidgetItem;
    fillItem(item, dialog);
    toneKeyListWidget->addItem(item);
}

void Tolvan::advanceEditButtonClicked()
{
    auto *item = static_cast<MyListWidgetItem *>(currentToneKeyItem);
    if (!item)
        return;
    ToneKeyDialog dialog(this);
    dialog.setWindowTitle(tr("edit"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    fillItem(item, dialog);
}

void Tolvan::advanceDeleteButtonClicked()
{
    if (!currentToneKeyItem) {
        QMessageBox::information(this, tr("tip"), tr("no item has been deleted"));
        return;
    }
    delete currentToneKeyItem;
    currentToneKeyItem = nullptr;
    advanceEditButton->setEnabled(false);
    advanceDeleteButton->setEnabled(false);
}

void Tolvan::listWidgetItemClicked(QListWidgetItem *item)
{
    advanceEditButton->setEnabled(true);
    advanceDeleteButton->setEnabled(true);
    currentToneKeyItem = item;
}
