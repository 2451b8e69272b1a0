// The guide's pictures are remade by palomas-capturas from the real windows: every picture a
// chapter of the guide shows must come out of it, and show a window, not an empty grab.

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestGuideShots : public QObject
{
    Q_OBJECT

    QTemporaryDir m_out;
    QString m_log;

private slots:
    void initTestCase()
    {
        QProcess capturas;
        capturas.setProcessChannelMode(QProcess::MergedChannels);
        capturas.start(PALOMAS_CAPTURAS, {m_out.path()});
        QVERIFY(capturas.waitForFinished(300000));
        m_log = QString::fromUtf8(capturas.readAll());
        QVERIFY2(capturas.exitStatus() == QProcess::NormalExit && capturas.exitCode() == 0,
                 qPrintable(m_log));
    }

    void picture_data()
    {
        QTest::addColumn<QString>("file");
        const QRegularExpression image("!\\[[^\\]]*\\]\\(capturas/([^)]+)\\)");
        QSet<QString> seen;
        QDirIterator chapters(PALOMAS_SOURCE_DIR "/docs/guia", {"*.md"});
        while (chapters.hasNext()) {
            QFile chapter(chapters.next());
            if (!chapter.open(QIODevice::ReadOnly))
                qFatal("no se puede leer %s", qPrintable(chapter.fileName()));
            for (const QRegularExpressionMatch& match :
                 image.globalMatch(QString::fromUtf8(chapter.readAll())))
                if (!seen.contains(match.captured(1)))
                    QTest::newRow(qPrintable(*seen.insert(match.captured(1)))) << match.captured(1);
        }
        if (seen.size() < 10)
            qFatal("la guía muestra solo %d imágenes", int(seen.size()));
    }
    void picture()
    {
        QFETCH(QString, file);
        const QImage picture(QDir(m_out.path()).filePath(file));
        QVERIFY2(!picture.isNull(), qPrintable("palomas-capturas no la hace:\n" + m_log));
        // A window of the program, not a sliver: the smallest, the club help, is wider than this.
        QVERIFY2(picture.width() >= 300 && picture.height() >= 200,
                 qPrintable(QString("%1 x %2").arg(picture.width()).arg(picture.height())));
        // Something drawn: an empty grab is a single colour.
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height() && colours.size() < 3; y += 7)
            for (int x = 0; x < picture.width() && colours.size() < 3; x += 7)
                colours.insert(picture.pixel(x, y));
        QVERIFY(colours.size() >= 3);
    }
};

QTEST_GUILESS_MAIN(TestGuideShots)
#include "test_guide_shots.moc"
