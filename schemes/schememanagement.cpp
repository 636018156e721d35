#include "mainwindow/tolvan.h"

void Tolvan::setSchemeDefaults(Scheme &scheme)
{
    ::setSchemeDefaults(scheme);
}

// Not built yet: the schemes issue fills these in.
void Tolvan::schemeToForm() { }
void Tolvan::formToScheme() { }
void Tolvan::schemeNewButtonClicked() { }
void Tolvan::schemeDeleteButtonClicked() { }
void Tolvan::schemeComboBoxIndexChanged(int) { }
void Tolvan::schemeComboBoxEditTextChanged(const QString &) { }
void Tolvan::schemeHighlighted(int) { }
void Tolvan::cancel() { }
