#include "mainwindow/tolvan.h"
#include "schemes/mylistwidgetitem.h"

#include <iterator>

namespace {

// The form's fields of the nine key settings, in the order of keySettings.
MyLineEdit *Ui_tolvan::*const keyLineEdits[] = {
    &Ui_tolvan::turnOnLineEdit,
    &Ui_tolvan::enemyBloodLineEdit,
    &Ui_tolvan::friendBloodLineEdit,
    &Ui_tolvan::keypad7LineEdit,
    &Ui_tolvan::keypad8LineEdit,
    &Ui_tolvan::keypad4LineEdit,
    &Ui_tolvan::keypad5LineEdit,
    &Ui_tolvan::keypad1LineEdit,
    &Ui_tolvan::keypad2LineEdit,
};
static_assert(std::size(keyLineEdits) == std::tuple_size_v<decltype(keySettings)>);

} // namespace

void Tolvan::setSchemeDefaults(Scheme &scheme)
{
    ::setSchemeDefaults(scheme);
}

void Tolvan::schemeToForm()
{
    const Scheme scheme = schemes.at(lastScheme);
    setWindowTitle(tr("%1 - tolvan key change").arg(scheme.name));

    // The radio button's group keeps a click from clearing it; only a scheme whose setting is
    // off may, so the group lets go for that moment.
    winShieldButtonGroup->setExclusive(false);
    winShieldRadioButton->setChecked(scheme.winShield);
    winShieldButtonGroup->setExclusive(true);

    for (std::size_t i = 0; i < keySettings.size(); ++i) {
        MyLineEdit *lineEdit = this->*keyLineEdits[i];
        lineEdit->setText(scheme.*keySettings[i].text);
        lineEdit->key = scheme.*keySettings[i].code;
    }

    // The remembered item goes with the items: an Edit must never reach a deleted one.
    toneKeyListWidget->clear();
    currentToneKeyItem = nullptr;
    advanceEditButton->setEnabled(false);
    advanceDeleteButton->setEnabled(false);
    for (const ToneKey &toneKey : scheme.toneKeys) {
        auto *item = new MyListWidgetItem;
        item->setText(toneKey.toneKeyText);
        item->from = toneKey.from;
        item->to = toneKey.to;
        toneKeyListWidget->addItem(item);
    }
}

void Tolvan::formToScheme()
{
    Scheme &scheme = schemes[lastScheme];
    scheme.winShield = winShieldRadioButton->isChecked();
    for (std::size_t i = 0; i < keySettings.size(); ++i) {
        const MyLineEdit *lineEdit = this->*keyLineEdits[i];
        scheme.*keySettings[i].text = lineEdit->text();
        scheme.*keySettings[i].code = lineEdit->key;
    }
    scheme.toneKeys.clear();
    for (int row = 0; row < toneKeyListWidget->count(); ++row) {
        const auto *item = static_cast<const MyListWidgetItem *>(toneKeyListWidget->item(row));
        scheme.toneKeys.append({item->from, item->to, item->text()});
    }
}

void Tolvan::schemeComboBoxIndexChanged(int index)
{
    if (index < 0 || index >= schemes.size())
        return;
    // -1 while a scheme is being deleted: its form must not reach the successor.
    if (lastScheme != -1)
        formToScheme();
    schemeDeleteButton->setEnabled(index != 0);
    lastScheme = index;
    schemeToForm();
    stopHook();
}

void Tolvan::schemeNewButtonClicked()
{
    schemeComboBox->setEditable(false);
    schemeComboBox->addItem(tr("new"));
    Scheme scheme;
    setSchemeDefaults(scheme);
    scheme.name = tr("new");
    schemes.append(scheme);
    // Runs schemeComboBoxIndexChanged: the form goes into the scheme being left.
    schemeComboBox->setCurrentIndex(schemeComboBox->count() - 1);
    schemeComboBox->setEditable(true);
    schemeDeleteButton->setEnabled(true);
}

void Tolvan::schemeDeleteButtonClicked()
{
    // The first scheme stays: the form needs a scheme to show.
    if (lastScheme <= 0)
        return;
    schemeComboBox->setEditable(false);
    schemes.remove(lastScheme);
    lastScheme = -1;
    // Selects the successor, which runs schemeComboBoxIndexChanged.
    schemeComboBox->removeItem(schemeComboBox->currentIndex());
}

void Tolvan::schemeComboBoxEditTextChanged(const QString &text)
{
    // Selecting another entry sets the edit text to that entry's name before the selection
    // reaches schemeComboBoxIndexChanged: that text is no typing, and must not rename the
    // scheme being left.
    if (lastScheme < 0 || schemeComboBox->currentIndex() != lastScheme)
        return;
    schemeComboBox->setItemText(schemeComboBox->currentIndex(), text);
    schemes[lastScheme].name = text;
}

void Tolvan::schemeHighlighted(int)
{
    schemeComboBox->setEditable(false);
}

void Tolvan::cancel()
{
    setSchemeDefaults(schemes[lastScheme]);
    schemeToForm();
    stopHook();
}
