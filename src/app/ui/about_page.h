#pragma once

#include <QWidget>

// The page "О программе": what the program is and how to start.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);
};
