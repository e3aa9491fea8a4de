#pragma once

#include <QWidget>

// Placeholder until the set editor lands.
class UserView : public QWidget
{
    Q_OBJECT
public:
    explicit UserView(QWidget* parent = nullptr) : QWidget(parent) {}
};
