#include "ImageWell.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QMimeData>

namespace {

QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

/// Drags \a mime onto \a well and drops it, offering a move as a file manager may; true when
/// the well took it, and as a copy, so that no file manager deletes the player's photo.
bool drop(ImageWell& well, const QMimeData& mime)
{
    QDragEnterEvent enter({4, 4}, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QDropEvent dropped({4, 4}, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    dropped.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(&well, &enter);
    QCoreApplication::sendEvent(&well, &dropped);
    return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
}

} // namespace

class TestImageWell : public QObject
{
    Q_OBJECT

private slots:
    void takesImagesByDropAndPaste()
    {
        const QString red = testsupport::home() + QStringLiteral("/red.png");
        const QString cut = testsupport::home() + QStringLiteral("/cut.png");
        QVERIFY(filled({40, 30}, Qt::red).save(red));
        // Cut short after its header, the file looks like a PNG until it is decoded.
        QVERIFY(QFile::copy(red, cut) && QFile::resize(cut, 40));
        QMimeData file, photo, noImage;
        file.setUrls({QUrl::fromLocalFile(red)});
        photo.setImageData(filled({6000, 4000}, Qt::darkCyan));
        noImage.setUrls({QUrl::fromLocalFile(cut)});

        ImageWell well;
        QVERIFY(drop(well, file));
        QCOMPARE(well.image(), filled({40, 30}, Qt::red));
        QVERIFY(drop(well, photo));
        QCOMPARE(well.image().width(), 1024);
        QVERIFY(qAbs(well.image().height() - 4000.0 * 1024 / 6000) <= 1);
        const QImage held = well.image();
        QVERIFY(!drop(well, noImage));
        QCOMPARE(well.image(), held);

        QGuiApplication::clipboard()->setImage(filled({12, 12}, Qt::magenta));
        QTest::keyClick(&well, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(well.image(), filled({12, 12}, Qt::magenta));
    }
};

PAIRWELL_TEST_MAIN(TestImageWell)
#include "tst_imagewell.moc"
