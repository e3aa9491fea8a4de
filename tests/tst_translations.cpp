#include "AppDelegate.h"
#include "Launch.h"
#include "Store.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

/// One message of a Qt Linguist file.
struct Message
{
    QString context;
    QString source;
    QString comment; ///< the disambiguation, if any
    bool numerus = false;
    QString translation;
    QString type; ///< "unfinished", "vanished", "obsolete" or empty
};

/// Every message of the .ts file at \a path; empty when it cannot be read.
QList<Message> readTs(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{};
            message.context = context;
            message.numerus =
                xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            // A numerus translation holds its forms as <numerusform> children.
            message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages << message;
        }
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return {};
    }
    return messages;
}

/// Qt 6's lupdate: beside the Qt tools, else on the PATH if it is Qt 6's.
QString findLupdate()
{
    for (const QString& dir : {QLibraryInfo::path(QLibraryInfo::BinariesPath),
                               QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath),
                               QStringLiteral("/usr/lib/qt6/bin")}) {
        const QString path = dir + QStringLiteral("/lupdate");
        if (QFileInfo(path).isExecutable())
            return path;
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("lupdate"));
    if (onPath.isEmpty())
        return QString();
    QProcess probe;
    probe.start(onPath, {QStringLiteral("-version")});
    probe.waitForFinished();
    return probe.readAll().contains("version 6.") ? onPath : QString();
}

/// The %1 … %99 markers of \a text, sorted, so that two texts can be compared by them.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(L?)(\\d{1,2})"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found << it.next().captured(0);
    found.sort();
    return found;
}

/// Whether \a text carries a keyboard mnemonic (an "&" not doubled).
bool hasMnemonic(const QString& text)
{
    QString plain = text;
    plain.remove(QStringLiteral("&&"));
    return plain.contains(QLatin1Char('&'));
}

/// Whether \a text is a key sequence such as "Ctrl+N", which stays as it is in any language.
bool isKeySequence(const QString& text)
{
    const QKeySequence keys = QKeySequence::fromString(text, QKeySequence::PortableText);
    return !keys.isEmpty() && keys[0].key() != Qt::Key_unknown &&
           keys.toString(QKeySequence::PortableText) == text && text.contains(QLatin1Char('+'));
}

const QString kJapaneseQm = QStringLiteral(":/i18n/pairwell_ja.qm");

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyMessageHasAJapaneseTranslation();
    void committedTableIsComplete();
    void gameTextsStayUntranslated();
    void systemLanguageChoosesTheTable();

private:
    QList<Message> m_collected; ///< the messages that the code sends through the table
};

void TranslationsTest::initTestCase()
{
    // Collect the messages from the code itself, so a new one without a translation shows.
    const QString lupdate = findLupdate();
    QVERIFY2(!lupdate.isEmpty(), "Qt 6 lupdate not found (package qt6-l10n-tools)");
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QDir source(QStringLiteral(PAIRWELL_SOURCE_DIR));
    QStringList arguments = {QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                             QStringLiteral("none"), source.filePath(QStringLiteral("app"))};
    const QDir resources(source.filePath(QStringLiteral("resources")));
    for (const QString& form : resources.entryList({QStringLiteral("*.ui")}, QDir::Files))
        arguments << resources.filePath(form);
    const QString collected = work.filePath(QStringLiteral("collected.ts"));
    arguments << QStringLiteral("-ts") << collected;

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(lupdate, arguments);
    QVERIFY(process.waitForFinished(120000));
    const QByteArray output = process.readAll();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             output.constData());

    QString error;
    m_collected = readTs(collected, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The window's menus alone hold more than this; fewer means lupdate saw nothing.
    QVERIFY2(m_collected.size() > 10, output.constData());
}

void TranslationsTest::everyMessageHasAJapaneseTranslation()
{
    QTranslator japanese;
    QVERIFY(japanese.load(kJapaneseQm));
    QStringList missing;
    for (const Message& m : std::as_const(m_collected)) {
        const QByteArray context = m.context.toUtf8();
        const QByteArray source = m.source.toUtf8();
        const QByteArray comment = m.comment.toUtf8();
        const QString shown = japanese.translate(
            context.constData(), source.constData(),
            m.comment.isEmpty() ? nullptr : comment.constData(), m.numerus ? 1 : -1);
        const QString where = m.context + QStringLiteral(": ") + m.source;
        if (shown.isEmpty()) {
            missing << where;
            continue;
        }
        // An English text left as it is would be no translation.
        if (shown == m.source && !isKeySequence(m.source))
            missing << where + QStringLiteral(" (left in English)");
        if (placeholders(shown) != placeholders(m.source))
            missing << where + QStringLiteral(" (placeholders differ: ") + shown + u')';
        if (hasMnemonic(shown) != hasMnemonic(m.source))
            missing << where + QStringLiteral(" (mnemonic differs: ") + shown + u')';
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

void TranslationsTest::committedTableIsComplete()
{
    // A translation that lupdate guessed, or one for a text the code no longer has, is not
    // finished work, even where it compiles into the table.
    QString error;
    const QList<Message> committed = readTs(
        QStringLiteral(PAIRWELL_SOURCE_DIR "/resources/translations/pairwell_ja.ts"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList open;
    for (const Message& m : committed) {
        if (!m.type.isEmpty() || m.translation.trimmed().isEmpty())
            open << m.context + QStringLiteral(": ") + m.source + QStringLiteral(" [") + m.type +
                        u']';
    }
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1Char('\n'))));
    QVERIFY(committed.size() >= m_collected.size());
}

void TranslationsTest::gameTextsStayUntranslated()
{
    const QStringList gameTexts = {QStringLiteral("Good: %lu Clicks\n"),
                                   QStringLiteral("High: %lu Clicks"), QStringLiteral("Halted")};
    for (const Message& m : std::as_const(m_collected))
        QVERIFY2(!gameTexts.contains(m.source), qPrintable(m.source));

    // And on the board, with the Japanese table in place.
    QTranslator japanese;
    QVERIFY(japanese.load(kJapaneseQm));
    QCoreApplication::installTranslator(&japanese);
    testsupport::resetStore();
    {
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching();
        auto* mess = delegate.window()->findChild<QLabel*>(QStringLiteral("mess"));
        QVERIFY(mess);
        store::setHigh(QStringLiteral("24"));
        delegate.past();
        QCOMPARE(mess->text(), QStringLiteral("High: 24 Clicks"));
        delegate.tear();
        delegate.ends();
        QCOMPARE(mess->text(), QStringLiteral("Halted"));
        // The menus of the same window do speak Japanese.
        auto* action = delegate.window()->findChild<QAction*>(QStringLiteral("actionNewGame"));
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("新しいゲーム(&N)"));
    }
    QCoreApplication::removeTranslator(&japanese);
    testsupport::resetStore();
}

void TranslationsTest::systemLanguageChoosesTheTable()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(app);
    const auto preferences = [] {
        return QCoreApplication::translate("PreferencesWindow", "Preferences");
    };

    // A language without a table keeps the English texts.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    prepareApplication(*app);
    QCOMPARE(preferences(), QStringLiteral("Preferences"));

    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    prepareApplication(*app);
    QCOMPARE(preferences(), QStringLiteral("環境設定"));
    QLocale::setDefault(QLocale::c());
}

PAIRWELL_TEST_MAIN(TranslationsTest)

#include "tst_translations.moc"
