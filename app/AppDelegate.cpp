#include "AppDelegate.h"

#include "Access.h"
#include "Card.h"
#include "Deal.h"
#include "Game.h"
#include "HelpView.h"
#include "PreferencesWindow.h"
#include "Store.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QScopeGuard>
#include <QScreen>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcGame, "pairwell.game")

namespace {

/// How long a mismatch stays on view, from the click that made it.
constexpr qint64 kMismatchNs = 1000000000;

/// Reads a count the way the stored best score has always been read: leading white space
/// skipped, an optional sign, the digits; text that does not begin with a number reads as 0.
qint64 intValue(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
         ++i) {
        value = qMin<qint64>(value * 10 + (text.at(i).unicode() - '0'), qint64(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return qBound(qint64(INT_MIN), value, qint64(INT_MAX));
}

} // namespace

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent), m_window(std::make_unique<QMainWindow>()),
      m_ui(std::make_unique<Ui::MainWindow>())
{
    access::install();
    m_ui->setupUi(m_window.get());

    // Until the first deal the board shows the built-in cover, decoded once for all cards.
    const QImage cover(store::defaultImage(store::kCover));
    for (int i = 0; i < game::kCards; ++i) {
        p[i] = m_window->findChild<Card*>(QStringLiteral("p%1").arg(i, 2, 10, QLatin1Char('0')));
        Q_ASSERT(p[i]);
        p[i]->setImage(cover, Card::kCovered, Card::Swap);
        connect(p[i], &Card::clicked, this, [this, card = p[i]] { cardClicked(card); });
    }
    gate = m_ui->gate;
    mess = m_ui->mess;
    wall = m_ui->wall;
    clicks = m_ui->clicks;

    m_veilTimer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the mismatch must stay a full second.
    m_veilTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_veilTimer, &QTimer::timeout, this, [this] {
        const qint64 left = kMismatchNs - m_mismatchClock.nsecsElapsed();
        if (left > 0)
            m_veilTimer.start(int((left + 999999) / 1000000));
        else
            veil(m_veiling);
    });

    m_ui->actionNewGame->setShortcuts(QKeySequence::New);
    m_ui->actionQuit->setShortcuts(QKeySequence::Quit);
    // Linux desktops have no standard preferences key; Ctrl+, is what their own
    // applications use.
    QList<QKeySequence> preferences = QKeySequence::keyBindings(QKeySequence::Preferences);
    if (preferences.isEmpty())
        preferences.append(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_ui->actionPreferences->setShortcuts(preferences);
    m_ui->actionHelp->setShortcuts(QKeySequence::HelpContents);
    connect(m_ui->actionNewGame, &QAction::triggered, this, &AppDelegate::tear);
    connect(m_ui->actionHalt, &QAction::triggered, this, &AppDelegate::ends);
    connect(m_ui->actionQuit, &QAction::triggered, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    connect(m_ui->actionPreferences, &QAction::triggered, this, &AppDelegate::showPreferences);
    connect(m_ui->actionCheckForUpdates, &QAction::triggered, this, &AppDelegate::checkForUpdates);
    connect(m_ui->actionHelp, &QAction::triggered, this, &AppDelegate::showHelp);
}

AppDelegate::~AppDelegate()
{
    if (m_preferences)
        delete m_preferences.data();
    if (m_help)
        delete m_help.data();
}

QMainWindow* AppDelegate::window() const
{
    return m_window.get();
}

Card* AppDelegate::cardAt(int tag) const
{
    for (const auto& card : p) {
        if (card && card->property("tag").toInt() == tag)
            return card;
    }
    return nullptr;
}

void AppDelegate::applicationDidFinishLaunching()
{
    milk();
    past();
}

void AppDelegate::milk()
{
    if (!store::hasBook())
        store::setBook({store::kDefaultSet});
    if (store::hasUsed())
        return;

    store::setUsed(store::kDefaultSet);
    const QString folder = used();
    QDir().mkpath(folder);
    for (int i = 0; i < store::kImages; ++i) {
        const QString target = store::imageFile(folder, i);
        // An existing file is left as it is; the copy simply fails.
        if (QFile::copy(store::defaultImage(i), target)) {
            // Files copied out of the resources are read-only; the player owns these.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
        }
    }
}

QString AppDelegate::used() const
{
    return store::folder(store::usedName());
}

void AppDelegate::past()
{
    const qint64 kick = game::kick;
    // Judged against the best as stored now, so another copy's better score is never lost.
    const auto edit = [kick](const QVariant& now) {
        const qint64 h = intValue(now.toString());
        return h == 0 || (kick > 0 && h > kick) ? std::optional<QVariant>(QString::asprintf(
                                                      "%lu", static_cast<unsigned long>(kick)))
                                                : std::nullopt;
    };
    // Only a change takes the lock the copies share: a launch, or a worse score, need none.
    const QVariant stored = store::value(store::kHigh);
    const auto wanted = edit(stored);
    const auto outcome = !wanted || (stored.isValid() && *wanted == stored)
                             ? store::Outcome::Unchanged
                             : store::change(store::kHigh, edit);
    // The score has no place to say so; the log does.
    if (outcome == store::Outcome::Failed)
        qCWarning(lcGame) << "the best score could not be stored:" << kick;
    const qint64 h = intValue(store::high());

    QString text;
    if (h > 0) {
        if (kick > 0)
            text += QString::asprintf("Good: %lu Clicks\n", static_cast<unsigned long>(kick));
        text += QString::asprintf("High: %lu Clicks", static_cast<unsigned long>(h));
    }
    qCInfo(lcGame).noquote() << text;
    if (mess)
        mess->setText(text);
}

QImage AppDelegate::cardImage(int index)
{
    const QString folder = used();
    if (folder != m_decodedFolder) {
        m_decoded.clear();
        m_decodedFolder = folder;
    }
    const QString path = store::imageFile(folder, index);
    const QFileInfo file(path);
    const auto known = m_decoded.constFind(path);
    if (known != m_decoded.constEnd() && file.exists() && known->size == file.size() &&
        known->modified == file.lastModified())
        return known->image;

    QImageReader reader(path, "png");
    QImage image = reader.read();
    if (image.isNull()) {
        m_decoded.remove(path);
        qCWarning(lcGame).noquote() << "cannot read" << path << "(" << reader.errorString()
                                    << "); showing the built-in image instead";
        image.load(store::defaultImage(index));
        return image;
    }
    m_decoded.insert(path, {file.size(), file.lastModified(), image});
    return image;
}

void AppDelegate::grid()
{
    const QImage cover = cardImage(store::kCover);
    for (const auto& card : p) {
        if (card)
            card->setImage(cover, Card::kCovered, Card::Swap); // all at once, no twenty flips
    }
    game::rows = deal(game::slot);
}

bool AppDelegate::playing() const
{
    return gate && gate->isHidden();
}

void AppDelegate::tear()
{
    game::kick = 0;
    game::hits = 0;
    // A new game starts clean: nothing pending from the last one, no mismatch on view.
    game::hang = nullptr;
    m_veilTimer.stop();
    m_veiling = nullptr;
    if (wall)
        wall->hide();
    grid();
    if (gate)
        gate->hide();
    showPlay();
    showState();
}

void AppDelegate::cardClicked(Card* card)
{
    // Only a face-down card of a running game turns, and none while a mismatch is on view.
    if (!card || !playing() || (wall && wall->isVisible()) || card->isFaceUp())
        return;
    turn(card);
    showPlay();
}

void AppDelegate::turn(Card* sender)
{
    if (!sender)
        return;
    const auto show = qScopeGuard([this] { showState(); });
    ++game::kick;
    const int tag = sender->property("tag").toInt();
    const int face = game::rows.value(tag);
    sender->setImage(cardImage(face), face);
    sayTurn(face);

    if (!game::hang) {
        game::hang = sender;
        return;
    }
    const int first = game::rows.value(game::hang->property("tag").toInt());
    if (first == face) {
        ++game::hits;
        game::hang = nullptr;
        if (game::hits == game::kPairs)
            ends();
        return;
    }
    if (wall)
        wall->show();
    m_veiling = sender;
    m_mismatchClock.start();
    m_veilTimer.start(int(kMismatchNs / 1000000));
}

void AppDelegate::veil(Card* card)
{
    sayCover(card);
    const QImage cover = cardImage(store::kCover);
    if (card)
        card->setImage(cover, Card::kCovered);
    if (game::hang)
        game::hang->setImage(cover, Card::kCovered);
    game::hang = nullptr;
    m_veiling = nullptr;
    if (wall)
        wall->hide();
    showPlay();
    showState();
}

void AppDelegate::ends()
{
    const bool running = playing();
    if (game::hits == game::kPairs)
        past();
    else if (gate && gate->isHidden() && mess)
        mess->setText(QStringLiteral("Halted"));
    if (gate)
        gate->show();
    // Said even when the line already showed the same text before this game.
    if (running && mess)
        access::announce(mess, mess->text());
    showPlay();
}

void AppDelegate::sayTurn(int face)
{
    QString text = tr("Face %1").arg(face + 1);
    if (game::hang) {
        const bool pair = game::rows.value(game::hang->property("tag").toInt()) == face;
        text =
            pair ? tr("Face %1, pair found").arg(face + 1) : tr("Face %1, no match").arg(face + 1);
    }
    access::announce(mess, text);
}

void AppDelegate::sayCover(Card* card)
{
    if (card && game::hang) {
        const int first = game::hang->property("tag").toInt() + 1;
        access::announce(mess, tr("Cards %1 and %2 face down again")
                                   .arg(qMin(first, card->property("tag").toInt() + 1))
                                   .arg(qMax(first, card->property("tag").toInt() + 1)));
    }
}

void AppDelegate::showPlay()
{
    const bool open = playing() && !(wall && wall->isVisible());
    for (const auto& card : p) {
        if (card) {
            const bool held = card == game::hang || card == m_veiling;
            card->setPlay(open && !card->isFaceUp(), card->isFaceUp() && !held);
        }
    }
}

void AppDelegate::showState()
{
    if (clicks)
        clicks->setText(tr("Clicks: %1").arg(game::kick));
    for (const auto& card : p) {
        if (!card)
            continue;
        // Both cards of a mismatch on view are about to be covered: neither is marked.
        Card::Mark mark = Card::Unmarked;
        if (card == game::hang)
            mark = m_veiling ? Card::Unmarked : Card::Pending;
        else if (card->isFaceUp() && card != m_veiling)
            mark = Card::Found;
        card->setMark(mark);
    }
}

namespace {
const QString kWindowKey = QStringLiteral("window/geometry");
} // namespace

void AppDelegate::restoreWindowPlace()
{
    QRect place = store::value(kWindowKey).toRect();
    if (!place.isValid())
        return;
    // The screen it was on may be gone or smaller now: fit the window into the one that
    // holds its centre, or else the primary screen.
    const QScreen* screen = QGuiApplication::screenAt(place.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        place.setSize(place.size().boundedTo(room.size()));
        place.moveLeft(qBound(room.left(), place.left(), room.right() + 1 - place.width()));
        place.moveTop(qBound(room.top(), place.top(), room.bottom() + 1 - place.height()));
    }
    m_window->setGeometry(place);
}

void AppDelegate::saveWindowPlace() const
{
    // Through the store like every other key: a plain QSettings write could empty the file on
    // a full disk and take the sets' names with it.
    const QRect place = m_window->normalGeometry();
    if (store::change(kWindowKey, [place](const QVariant&) {
            return std::optional<QVariant>(place);
        }) == store::Outcome::Failed)
        qCWarning(lcGame) << "the window's place could not be stored";
}

void AppDelegate::showPreferences()
{
    if (!m_preferences)
        m_preferences = new PreferencesWindow(m_window.get());
    m_preferences->showPane(PreferencesWindow::CardFaces);
}

void AppDelegate::checkForUpdates()
{
    if (!m_preferences)
        m_preferences = new PreferencesWindow(m_window.get());
    m_preferences->showPane(PreferencesWindow::Updates);
    m_preferences->checkForUpdates();
}

void AppDelegate::showHelp()
{
    if (!m_help) {
        m_help = new QDialog(m_window.get());
        m_help->setObjectName(QStringLiteral("help"));
        m_help->setWindowTitle(tr("Pairwell Help"));
        auto* layout = new QVBoxLayout(m_help);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new HelpView(m_help));
        m_help->adjustSize(); // room for the whole text, in any language
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}
