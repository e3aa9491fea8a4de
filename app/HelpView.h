#pragma once

#include <QTextEdit>

/// The help window's text: a title, a one-line description and two short sections, styled
/// and read-only. The text is built once, when the view is made.
class HelpView : public QTextEdit
{
    Q_OBJECT

public:
    /// Makes the read-only view and fills it with the help text (setsHelp).
    explicit HelpView(QWidget* parent = nullptr);

    /// Builds the styled help text in the current language and makes it the whole content.
    void setsHelp();

    /// Lines of a comfortable length, and room for the whole text at that width.
    QSize sizeHint() const override;
};
