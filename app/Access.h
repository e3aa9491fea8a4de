#pragma once

#include <QString>

class QWidget;

/// What assistive technology is told beyond the widgets' own texts.
///
/// Qt's AT-SPI bridge sends a changed name or description without the new text, so a screen
/// reader cannot speak it. What must be heard as it happens is therefore said through a
/// herald: a notification inside a status line, which screen readers speak when it shows.
/// Labels that carry the dynamic property "accessibleTextRole" ("status" or "label") expose
/// their text as text; a status line says every new text through its herald too. Cards and
/// image wells get interfaces that tell what they are and what they can do now.
namespace access {

/// Puts these interfaces in place of Qt's own; call once the QApplication exists, before the
/// windows are made.
void install();

/// Says \a text through the herald of \a line. Texts said in the same pass of the event loop
/// are said together, in order, one per line.
void announce(QWidget* line, const QString& text);
/// The text the herald of \a line said last, or an empty string.
QString announced(const QWidget* line);

} // namespace access
