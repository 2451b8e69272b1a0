#include "base/formats.h"
#include "output/printouts/page_flow.h"
#include "output/printouts/show_printouts.h"
#include "rules/judging/score_ranges.h"

namespace printouts
{

namespace
{

// The rows are large enough to write a score in by hand, a little space between them.
constexpr int rowSize = 12;
constexpr int gapSize = 4;
constexpr int legendSize = 9;
const QString box = QStringLiteral("[      ]");

QString centredIn(const QString& text, int width)
{
    const int before = std::max(0, (width - int(text.size())) / 2);
    return formats::fitLeft(QString(before, u' ') + text, width);
}

QString rowStart(const QString& jaula, const QString& grupo, const QString& sexo)
{
    return formats::fitRight(jaula, 6) + QStringLiteral("  ") + formats::fitLeft(grupo, 6) +
           formats::fitLeft(sexo, 7);
}

QString columnHeading()
{
    QString line = rowStart(QStringLiteral("Jaula"), QStringLiteral("Grupo"), QStringLiteral("Sexo"));
    for (int i = 1; i <= judging::apartadoCount; ++i)
        line += QLatin1Char(' ') + centredIn(QString::number(i), int(box.size()));
    return line + QLatin1Char(' ') + centredIn(QStringLiteral("Total"), int(box.size()));
}

QString birdRow(const Bird& bird)
{
    QString line = rowStart(QString::number(bird.jaula), bird.grupo, sexName(bird.sexo));
    for (int i = 0; i <= judging::apartadoCount; ++i)
        line += QLatin1Char(' ') + box;
    return line;
}

// The top of each of a judge's pages: who, the signature, and what each box is for, named and
// ranged as the judging window shows them.
void judgeTop(PageFlow& flow, int juez)
{
    flow.line(formats::fitLeft(QStringLiteral("Juez Nº %1").arg(juez), 24) +
                  QStringLiteral("Firma del juez: ______________________________"),
              rowSize, true);
    flow.empty(gapSize);
    int number = 1;
    for (const judging::Apartado& apartado : judging::apartados())
        flow.line(QStringLiteral(" %1  %2 %3").arg(number++).arg(apartado.label, apartado.rangeLabel),
                  legendSize);
    flow.line(QStringLiteral(" Total  %1 %2").arg(judging::totalLabel(), judging::totalRangeLabel()),
              legendSize);
    flow.empty(gapSize);
    flow.line(columnHeading(), rowSize, true);
}

} // namespace

listings::Printout judgesSheets(const Show& show)
{
    const std::vector<const Bird*> birds = judgedBirds(show);
    auto titleOf = [](int juez) { return QStringLiteral("Hoja del juez Nº %1").arg(juez); };
    PageFlow flow(show.nombre, show.region, titleOf(1));
    const double rowHeight = PageFlow::lineHeight(rowSize) + PageFlow::lineHeight(gapSize);
    for (int juez = 1; juez <= show.jueces; ++juez) {
        // Each judge's sheets start on a page of their own, to be handed out apart.
        flow.setTitle(titleOf(juez));
        flow.newPage();
        judgeTop(flow, juez);
        for (const Bird* bird : birds) {
            if (!flow.fits(rowHeight)) {
                flow.newPage();
                judgeTop(flow, juez);
            }
            flow.line(birdRow(*bird), rowSize);
            flow.empty(gapSize);
        }
    }
    return flow.take();
}

} // namespace printouts
