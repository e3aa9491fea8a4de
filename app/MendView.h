#pragma once

#include <QWidget>

// Placeholder until the update pane lands.
class MendView : public QWidget
{
    Q_OBJECT
public:
    explicit MendView(QWidget* parent = nullptr) : QWidget(parent) {}
    void TLUPVers() {}
};
