// The labels' QR codes: one pixel per module inside a quiet zone of four white modules, and read
// back by zbar as the very text encoded, whatever its characters; a text too long for any code
// gives no image rather than a wrong one.

#include "output/qr_code.h"
#include "support/pdf_pages.h"

#include <QTemporaryDir>
#include <QTest>

class TestQrCode : public QObject
{
    Q_OBJECT

private slots:
    void readsBackAsTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("cage 1") << "http://192.168.1.20:8080/puntuar?jaula=1";
        QTest::newRow("small letters kept") << "https://expo.local/puntuar?jaula=999";
        QTest::newRow("accents") << "http://exposición-peñíscola/puntuar?jaula=12";
        QTest::newRow("long address") << "http://" + QString(300, 'a') + "/puntuar?jaula=500";
    }
    void readsBackAsTheText()
    {
        QFETCH(QString, text);
        const QImage code = output::qrCode(text);
        QVERIFY(!code.isNull());
        QCOMPARE(code.width(), code.height());
        // A QR code of version v has 17 + 4v modules a side; four blank modules on each side.
        const int modules = code.width() - 8;
        QVERIFY2(modules >= 21 && (modules - 17) % 4 == 0, qPrintable(QString::number(code.width())));
        for (int i = 0; i < code.width(); ++i)
            for (int band = 0; band < 4; ++band)
                for (const QPoint p : {QPoint(i, band), QPoint(i, code.width() - 1 - band), QPoint(band, i),
                                       QPoint(code.width() - 1 - band, i)})
                    QVERIFY2(code.pixelColor(p) == Qt::white,
                             qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        // The finder pattern's corner module is dark: the code starts right after the quiet zone.
        QCOMPARE(code.pixelColor(4, 4), QColor(Qt::black));

        QTemporaryDir dir;
        const QString png = dir.filePath("qr.png");
        QVERIFY(
            code.scaled(code.width() * 6, code.height() * 6, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .save(png));
        QCOMPARE(pdfpages::run("zbarimg", {"-q", "--raw", "-Sbinary", png}).toUtf8(), text.toUtf8());
    }

    void tooLongForAnyCodeGivesNoImage() { QVERIFY(output::qrCode(QString(3000, 'x')).isNull()); }
};

QTEST_GUILESS_MAIN(TestQrCode)
#include "test_qr_code.moc"
