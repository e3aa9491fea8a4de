#include "HelpView.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <iterator>
#include <memory>

namespace {

// The English entries, in order. They double as the keys of the translation, and the style
// of each is decided from them, never from a translation.
const char* const kEntries[] = {
    QT_TRANSLATE_NOOP("HelpView", "Pairwell Help"),
    QT_TRANSLATE_NOOP("HelpView", "Just a simple nervous-breakdown. You can customize card-faces."),
    QT_TRANSLATE_NOOP("HelpView", "Controls"),
    QT_TRANSLATE_NOOP("HelpView",
                      "Select a card to uncover, then another. If two of them match, they will "
                      "be kept open. Your goal is to open all the cards."),
    QT_TRANSLATE_NOOP("HelpView", "Settings"),
    QT_TRANSLATE_NOOP("HelpView",
                      "Customize card-faces in preferences. To add a new set, prepare 10 images "
                      "for card-faces, 1 image for covered face. Drop pictures to image well one "
                      "by one, name the set, then click Save. You cannot overwrite an existing "
                      "set, so if you want to edit a set, change its name and save. To use in "
                      "games, click Use. To delete, select the set from pop-up and click Delete."),
};

/// The system font at \a points, bold or regular.
QFont systemFont(qreal points, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

HelpView::HelpView(QWidget* parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("helpView"));
    setReadOnly(true);
    // Read-only, but the keyboard can still move through and select the text.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    document()->setDocumentMargin(12);
    setAccessibleName(QCoreApplication::translate("HelpView", kEntries[0]));
    setsHelp();
}

void HelpView::setsHelp()
{
    QTextDocument* doc = document();
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (int i = 0; i < int(std::size(kEntries)); ++i) {
        const QString entry = QString::fromUtf8(kEntries[i]);
        // A paragraph ends with a full stop; anything else but the title is a heading.
        const QFont font = i == 0
                               ? systemFont(14, true)
                               : systemFont(12, entry.mid(entry.size() - 1) != QLatin1String("."));
        QTextCharFormat format;
        format.setFont(font);
        // Every entry starts a paragraph; giving the paragraph the entry's font as well keeps
        // the whole of it, up to the blank line, in one style.
        cursor.setBlockCharFormat(format);
        cursor.insertText(
            QCoreApplication::translate("HelpView", kEntries[i]) + QStringLiteral("\n\n"), format);
    }
    cursor.endEditBlock();
    // Open at the title, not where the building left off.
    moveCursor(QTextCursor::Start);
}

QSize HelpView::sizeHint() const
{
    const int textWidth = QFontMetrics(systemFont(12, false)).averageCharWidth() * 64;
    // Laid out on a copy, so the view's own layout is left alone.
    std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->setTextWidth(textWidth);
    const int frame = 2 * frameWidth();
    return QSize(textWidth + frame + verticalScrollBar()->sizeHint().width(),
                 int(std::ceil(copy->size().height())) + frame);
}
