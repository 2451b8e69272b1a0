// The windows of the show's records, over a real show.

#include "rules/records/history.h"
#include "support/window_fixture.h"
#include "windows/records/history_window.h"

#include <QLabel>
#include <QListWidget>

class TestRecordsWindows : public QObject
{
    Q_OBJECT

private slots:
    // "Historial" lists what the history holds, and its boxes keep a cage's or a judge's lines.
    void historyFilteredAsTyped()
    {
        WindowFixture<HistoryWindow> f;
        {
            const store::OriginScope origin(f.db(), records::origins::judging());
            fixtures::addBird(f.db(), 7, "A", "M");
            fixtures::addScore(f.db(), "7", 2, 90);
            fixtures::addScore(f.db(), "8", 1, 90);
        }
        f.show();
        const auto shown = [&f] {
            QStringList lines;
            for (int i = 0; i < f.w<QListWidget>("cambios")->count(); ++i)
                lines << f.w<QListWidget>("cambios")->item(i)->text().mid(21);
            return f.w<QLabel>("cuenta")->text() + ": " + lines.join(" / ");
        };
        guitest::type(f.w("jaula"), "7");
        QCOMPARE(shown(), "2 cambios: Puntuación  jaula 7  paloma: (nada) -> M A / "
                          "Puntuación  jaula 7 juez 2  puntos: (nada) -> 8 8 17 27 30");
        guitest::type(f.w("juez"), "2");
        QCOMPARE(shown(), "1 cambio: Puntuación  jaula 7 juez 2  puntos: (nada) -> 8 8 17 27 30");
        f.w("jaula")->clear();
        guitest::type(f.w("juez"), "1");
        QCOMPARE(shown(), "1 cambio: Puntuación  jaula 8 juez 1  puntos: (nada) -> 8 8 17 27 30");
        guitest::type(f.w("jaula"), "9");
        QCOMPARE(shown(), "0 cambios: ");
    }
};

QTEST_MAIN(TestRecordsWindows)
#include "test_records_windows.moc"
