#include "ImageWell.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

QImage filled(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QMimeData* files(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

/// Drags \a mime onto \a well and drops it there; true when the well took it as a copy.
bool drop(ImageWell& well, QMimeData* mime)
{
    std::unique_ptr<QMimeData> owner(mime);
    const QPoint at = well.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&well, &enter);
    QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, {});
    dropped.setDropAction(Qt::MoveAction); // as a file manager may propose
    QCoreApplication::sendEvent(&well, &dropped);
    // A move would let a file manager delete the player's photo.
    return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
}

} // namespace

class TestImageWell : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString png(const QString& name, const QImage& image)
    {
        image.save(dir.filePath(name));
        return dir.filePath(name);
    }

private slots:
    void takesFilesAndImageData()
    {
        ImageWell well;
        QVERIFY(drop(well, files({png("red.png", filled(40, 30, Qt::red))})));
        QCOMPARE(well.image().size(), QSize(40, 30));
        QCOMPARE(well.image().pixelColor(5, 5), QColor(Qt::red));

        auto* data = new QMimeData;
        data->setImageData(filled(20, 20, Qt::green));
        QVERIFY(drop(well, data));
        QCOMPARE(well.image().pixelColor(5, 5), QColor(Qt::green));

        // What a browser offers: encoded bytes under an image type.
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        filled(10, 10, Qt::blue).save(&buffer, "PNG");
        auto* encoded = new QMimeData;
        encoded->setData(QStringLiteral("image/png"), bytes);
        QVERIFY(drop(well, encoded));
        QCOMPARE(well.image().pixelColor(5, 5), QColor(Qt::blue));
    }

    void refusesWhatIsNoImage()
    {
        ImageWell well;
        well.setImage(filled(8, 8, Qt::yellow));
        QFile text(dir.filePath(QStringLiteral("notes.png")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("no picture") > 0);
        text.close();
        auto* words = new QMimeData;
        words->setText(QStringLiteral("hello"));
        QVERIFY(!drop(well, files({text.fileName()})));
        QVERIFY(!drop(well, files({png("a.png", filled(8, 8, Qt::red)),
                                   png("b.png", filled(8, 8, Qt::red))})));
        QVERIFY(!drop(well, files({dir.filePath(QStringLiteral("gone.png"))})));
        QVERIFY(!drop(well, words));
        QCOMPARE(well.image().pixelColor(1, 1), QColor(Qt::yellow));
    }

    void scalesLargeImagesDownOnEntry()
    {
        ImageWell well;
        QVERIFY(drop(well, files({png("photo.png", filled(6000, 4000, Qt::darkCyan))})));
        QCOMPARE(well.image().width(), 1024);
        QVERIFY(qAbs(well.image().height() - 4000.0 * 1024 / 6000) <= 1);
        QCOMPARE(well.image().pixelColor(512, 300), QColor(Qt::darkCyan));
        well.setImage(filled(2000, 3000, Qt::gray));
        QCOMPARE(well.image().height(), 1024);
        QVERIFY(qAbs(well.image().width() - 2000.0 * 1024 / 3000) <= 1);
        well.setImage(filled(1024, 10, Qt::red));
        QCOMPARE(well.image().size(), QSize(1024, 10));
    }

    void pastesAndOpensAChooser()
    {
        ImageWell well;
        well.setIndex(3);
        well.show();
        QVERIFY(QTest::qWaitForWindowExposed(&well));
        QCOMPARE(well.accessibleName(), QStringLiteral("Face 4"));
        QCOMPARE(well.accessibleDescription(), QStringLiteral("Empty"));
        QGuiApplication::clipboard()->setImage(filled(12, 12, Qt::magenta));
        QTest::keyClick(&well, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(well.image().pixelColor(2, 2), QColor(Qt::magenta));
        QCOMPARE(well.accessibleDescription(), QStringLiteral("Holds an image"));

        QTest::mouseClick(&well, Qt::LeftButton);
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(chooser && chooser->parent() == &well);
        chooser->selectFile(png("chosen.png", filled(16, 16, Qt::darkRed)));
        QMetaObject::invokeMethod(chooser, "accept");
        QCOMPARE(well.image().pixelColor(2, 2), QColor(Qt::darkRed));
        QTest::keyClick(&well, Qt::Key_Return);
        chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(chooser);
        chooser->reject();
        QCOMPARE(well.image().pixelColor(2, 2), QColor(Qt::darkRed));
        well.setIndex(10);
        QCOMPARE(well.accessibleName(), QStringLiteral("Cover"));
    }
};

PAIRWELL_TEST_MAIN(TestImageWell)
#include "tst_imagewell.moc"
