// The guide's pictures are remade by palomas-capturas from the real windows: it refuses a picture
// that shows no window and names every picture a chapter of the guide shows that it did not make,
// so that a changed window cannot break the guide's pictures unseen.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestGuideShots : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureOfTheGuideIsMade()
    {
        QTemporaryDir out;
        QProcess capturas;
        capturas.setProcessChannelMode(QProcess::MergedChannels);
        capturas.start(PALOMAS_CAPTURAS, {out.path()});
        QVERIFY(capturas.waitForFinished(300000));
        const QString log = QString::fromUtf8(capturas.readAll());
        QVERIFY2(capturas.exitStatus() == QProcess::NormalExit && capturas.exitCode() == 0, qPrintable(log));
        QVERIFY2(log.count("grabada ") >= 10, qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(TestGuideShots)
#include "test_guide_shots.moc"
