#pragma once

#include <QObject>
#include <QString>
#include <QTabWidget>

#include <stdexcept>
#include <string>

// A control of a page or dialog found by its object name: the pages keep
// their widgets to themselves, and the tests reach them as the trader sees
// them, by name. A name that is missing, of another class or held by two
// controls under root stops the test with the name in the message.
template <class T>
T* widgetByName(const QObject* root, const char* name)
{
    const QList<T*> found = root->findChildren<T*>(QString::fromUtf8(name));
    if (found.size() != 1)
        throw std::logic_error(std::string(found.isEmpty() ? "no control " : "more than one control ") + name + " under " +
                               root->objectName().toStdString());
    return found.front();
}

// The main window's row of page tabs.
inline QTabWidget* pageTabs(const QObject* window) { return widgetByName<QTabWidget>(window, "PageControl1"); }
