// The values the exhibition cannot keep, refused wherever they are entered: the core checks, the
// reception window's boxes (reception::check, which "Aceptar" runs), the judging window's score
// boxes; and values quoted in messages, cut when long. The judge number's range is checked where
// a judge's sheet is imported.

#include "base/kept_values.h"
#include "base/shown_value.h"
#include "rules/judging/score_ranges.h"
#include "rules/reception/bird_entry.h"

#include <QTest>
#include <cmath>
#include <limits>

using reception::BirdEntry;
using reception::EntryField;

namespace
{

const QString emoji = QStringLiteral("\U0001F600");
const QString withNul = QStringLiteral("12") + QChar(0) + QStringLiteral(" 34");

} // namespace

class TestKeptValues : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("plain") << "Peña Ñandú 1234"
                               << "";
        QTest::newRow("a line end and a tab") << "a\nb\tc"
                                              << "";
        QTest::newRow("near the end of the BMP") << QString(QChar(0xFFFC)) << "";
        QTest::newRow("U+FFFD: bytes read that were no text")
            << "Se\uFFFDora"
            << "El valor «Se\uFFFDora» de «Anilla» lleva bytes que no se leen como letras (el archivo no es "
               "UTF-8 "
               "en esa fila): corríjalo y guarde el archivo en UTF-8.";
        QTest::newRow("an emoji") << "x" + emoji
                                  << "El valor «x" + emoji +
                                         "» de «Anilla» lleva un emoji u otro carácter que el programa no "
                                         "puede guardar.";
        QTest::newRow("half an emoji")
            << QString(QChar(0xD83D))
            << "El valor «" + QString(QChar(0xD83D)) +
                   "» de «Anilla» lleva un emoji u otro carácter que el programa no puede guardar.";
        QTest::newRow("a NUL")
            << withNul
            << "El valor «12\uFFFD 34» de «Anilla» lleva un carácter nulo, que el programa no puede guardar.";
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QCOMPARE(values::textRefusal("Anilla", text), refusal);
        QCOMPARE(values::keeps(text), refusal.isEmpty()); // the imports' cheap check agrees
    }

    void numbers_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("a score") << 92.35 << "";
        QTest::newRow("a negative one") << -3.0 << "";
        QTest::newRow("just below 9·10^13") << 8.9e13 << "";
        QTest::newRow("9·10^13") << 9.0e13 << "El valor 9e+13 de «Total» es demasiado grande para guardarlo.";
        QTest::newRow("1e308") << 1e308 << "El valor 1e+308 de «Total» es demasiado grande para guardarlo.";
        QTest::newRow("-1e308") << -1e308
                                << "El valor -1e+308 de «Total» es demasiado grande para guardarlo.";
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << "El valor de «Total» es infinito: no se puede guardar.";
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity()
                                        << "El valor de «Total» es infinito: no se puede guardar.";
        QTest::newRow("NaN") << std::nan("")
                             << "El valor de «Total» no es un número (NaN): no se puede guardar.";
    }
    void numbers()
    {
        QFETCH(double, number);
        QFETCH(QString, refusal);
        QCOMPARE(values::numberRefusal("Total", number), refusal);
    }

    void wordsOfNumbersThatAreNotFinite_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("spells");
        for (const char* word : {"inf", "INF", " -inf ", "+Infinity", "nan", "NaN", "-nan"})
            QTest::newRow(word) << word << true;
        for (const char* word : {"infinito", "nana", "Nan 2", "in f", "", "1e999"})
            QTest::newRow(word) << word << false;
    }
    void wordsOfNumbersThatAreNotFinite()
    {
        QFETCH(QString, text);
        QFETCH(bool, spells);
        QCOMPARE(values::spellsNonFinite(text), spells);
    }

    void shownValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << "12345678"
                               << "12345678";
        QTest::newRow("40 characters") << QString(40, u'a') << QString(40, u'a');
        QTest::newRow("41 characters") << QString(41, u'a') << QString(40, u'a') + "… (41 caracteres)";
        QTest::newRow("32,000 characters")
            << QString(32000, u'a') << QString(40, u'a') + "… (32.000 caracteres)";
        QTest::newRow("an emoji across the cut")
            << QString(39, u'a') + emoji + "b" << QString(39, u'a') + "… (42 caracteres)";
        QTest::newRow("control characters") << withNul + "\n\r"
                                            << "12\uFFFD 34\uFFFD\uFFFD";
    }
    void shownValues()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QCOMPARE(formats::shownValue(value), shown);
    }

    // The reception window refuses on "Aceptar" what check() refuses, with the focus on the box.
    void receptionBoxes_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        const QString cannotKeep =
            "El valor «%1» de «%2» lleva un emoji u otro carácter que el programa no puede "
            "guardar.";
        QTest::newRow("an emoji in the ring")
            << 0 << "1" + emoji << int(EntryField::Anilla) << cannotKeep.arg("1" + emoji, "Anilla");
        QTest::newRow("an emoji in the owner") << 1 << "Ana " + emoji << int(EntryField::Nombre)
                                               << cannotKeep.arg("Ana " + emoji, "Propietario");
        QTest::newRow("an emoji in the club")
            << 2 << emoji << int(EntryField::Club) << cannotKeep.arg(emoji, "Club");
        QTest::newRow("a NUL in the year")
            << 3 << withNul << int(EntryField::Anio)
            << "El valor «12\uFFFD 34» de «Año» lleva un carácter nulo, que el programa no puede guardar.";
    }
    void receptionBoxes()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(int, field);
        QFETCH(QString, message);
        BirdEntry entry{"5", "1234567", "2024", "Hembra", "Azul", "12345", "Pérez", "7", "A", "", "", "", ""};
        QString BirdEntry::*boxes[] = {&BirdEntry::anilla, &BirdEntry::nombre, &BirdEntry::club,
                                       &BirdEntry::anio};
        QVERIFY(!reception::check(entry));
        entry.*boxes[box] = typed;
        const auto problem = reception::check(entry);
        QVERIFY(problem.has_value());
        QCOMPARE(int(problem->field), field);
        QCOMPARE(problem->message, message);
    }

    // The judging window's score boxes take the typed value only within its range: never a NaN,
    // an infinity or a huge number.
    void judgingBoxes_data()
    {
        QTest::addColumn<int>("criterion");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("8,5") << 0 << "8,5" << true;
        QTest::newRow("nan") << 0 << "nan" << false;
        QTest::newRow("inf") << 2 << "inf" << false;
        QTest::newRow("1e308") << 3 << "1e308" << false;
        QTest::newRow("-28") << 4 << "-28" << false;
    }
    void judgingBoxes()
    {
        QFETCH(int, criterion);
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QCOMPARE(judging::readScore(criterion, typed).has_value(), taken);
        QVERIFY(!judging::withinRange(criterion, std::nan("")));
    }
};

QTEST_GUILESS_MAIN(TestKeptValues)
#include "test_kept_values.moc"
