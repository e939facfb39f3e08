// Lists of texts read from what the tests look at: a list box's items, and the calls the
// scripted fake recorded.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

inline QStringList Items(const QListWidget &list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        items << list.item(i)->text();
    }
    return items;
}

inline QStringList ToList(const std::vector<std::string> &calls) {
    QStringList list;
    for (const std::string &call : calls) {
        list << QString::fromStdString(call);
    }
    return list;
}
