#pragma once

#include <QListWidgetItem>

// A line of the advanced list: the pair's codes beside the text that was built when it was
// entered. The text is shown as it stands and never rebuilt from the codes.
class MyListWidgetItem : public QListWidgetItem
{
public:
    MyListWidgetItem() = default;

    quint32 from = 0;
    quint32 to = 0;
};
