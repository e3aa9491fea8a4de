#pragma once

#include <QTextEdit>

// Placeholder until the help text lands.
class HelpView : public QTextEdit
{
    Q_OBJECT
public:
    explicit HelpView(QWidget* parent = nullptr) : QTextEdit(parent) { setReadOnly(true); }
};
