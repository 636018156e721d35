#include "mainwindow/tolvan.h"

// Not built yet: the schemes issue fills these in.
void Tolvan::advanceNewButtonClicked() { }
void Tolvan::advanceEditButtonClicked() { }
void Tolvan::advanceDeleteButtonClicked() { }
void Tolvan::listWidgetItemClicked(QListWidgetItem *) { }
