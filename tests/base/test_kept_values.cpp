// The values the exhibition cannot keep, and values quoted in messages, cut when long. Each entry
// path keeps one row of its own: the imports in their tests, the score boxes in the judging rules'
// table of score ranges, and here the reception's check.

#include "base/kept_values.h"
#include "base/shown_value.h"
#include "rules/reception/bird_entry.h"

#include <QTest>
#include <cmath>

namespace
{

const QString emoji = QStringLiteral("\U0001F600");
const QString withNul = QStringLiteral("12") + QChar(0) + QStringLiteral(" 34");
const QString cannotKeep =
    "El valor «%1» de «%2» lleva un emoji u otro carácter que el programa no puede guardar.";

} // namespace

class TestKeptValues : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char* name, const QString& text, const QString& refusal) {
            QTest::newRow(name) << text << refusal;
        };
        row("plain", "Peña Ñandú 1234", "");
        row("a line end and a tab", "a\nb\tc", "");
        row("near the end of the BMP", QString(QChar(0xFFFC)), "");
        row("U+FFFD: bytes read that were no text", "Se\uFFFDora",
            "El valor «Se\uFFFDora» de «Anilla» lleva bytes que no se leen como letras (el archivo no es "
            "UTF-8 "
            "en esa fila): corríjalo y guarde el archivo en UTF-8.");
        row("an emoji", "x" + emoji, cannotKeep.arg("x" + emoji, "Anilla"));
        row("half an emoji", QString(QChar(0xD83D)), cannotKeep.arg(QChar(0xD83D)).arg("Anilla"));
        row("a NUL", withNul,
            "El valor «12\uFFFD 34» de «Anilla» lleva un carácter nulo, que el programa no puede guardar.");
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
        const QString tooLarge = "El valor %1 de «Total» es demasiado grande para guardarlo.";
        const QString infinite = "El valor de «Total» es infinito: no se puede guardar.";
        QTest::newRow("a score") << 92.35 << "";
        QTest::newRow("just short of -9·10^13") << -8.9e13 << "";
        QTest::newRow("9·10^13") << 9.0e13 << tooLarge.arg("9e+13");
        QTest::newRow("-1e308") << -1e308 << tooLarge.arg("-1e+308");
        QTest::newRow("infinity") << HUGE_VAL << infinite;
        QTest::newRow("minus infinity") << -HUGE_VAL << infinite;
        QTest::newRow("NaN") << std::nan("")
                             << "El valor de «Total» no es un número (NaN): no se puede guardar.";
    }
    void numbers()
    {
        QFETCH(double, number);
        QFETCH(QString, refusal);
        QCOMPARE(values::numberRefusal("Total", number), refusal);
        QCOMPARE(values::keeps(number), refusal.isEmpty());
    }

    void wordsOfNumbersThatAreNotFinite()
    {
        for (const char* word : {"inf", "INF", " -inf ", "+Infinity", "nan", "NaN", "-nan"})
            QVERIFY2(values::spellsNonFinite(word), word);
        for (const char* word : {"infinito", "nana", "Nan 2", "in f", "", "1e999"})
            QVERIFY2(!values::spellsNonFinite(word), word);
    }

    void shownValues()
    {
        const QString a40(40, u'a');
        QCOMPARE(formats::shownValue(a40), a40);
        QCOMPARE(formats::shownValue(a40 + "a"), a40 + "… (41 caracteres)");
        QCOMPARE(formats::shownValue(QString(32000, u'a')), a40 + "… (32.000 caracteres)");
        QCOMPARE(formats::shownValue(a40.left(39) + emoji + "b"),
                 a40.left(39) + "… (42 caracteres)"); // never half
        QCOMPARE(formats::shownValue(withNul + "\n\r"), "12\uFFFD 34\uFFFD\uFFFD");
    }

    // "Aceptar" of the reception window runs check(), which puts the focus on the box at fault.
    void typedInReception()
    {
        reception::BirdEntry entry{"5", "1234567", "2024", "Hembra", "Azul", "12345", "Pérez",
                                   "7", "A",       "",     "",       "",     ""};
        QVERIFY(!reception::check(entry));
        entry.nombre = "Ana " + emoji;
        const auto problem = reception::check(entry);
        QVERIFY(problem.has_value());
        QCOMPARE(problem->field, reception::EntryField::Nombre);
        QCOMPARE(problem->message, cannotKeep.arg("Ana " + emoji, "Propietario"));
    }
};

QTEST_GUILESS_MAIN(TestKeptValues)
#include "test_kept_values.moc"
