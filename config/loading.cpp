#include "mainwindow/tolvan.h"

// Not built yet: the configuration issue fills this in. Until then every start is a first start.
bool Tolvan::loadConfiguration()
{
    return false;
}
