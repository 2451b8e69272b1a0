// palomas-bench-judging [CARPETA]: the judging window's refresh of a cage scored by 5 judges, in an
// exhibition of 999 cages and in the 100,000-cage stress exhibition. Target: under 20 ms.
//
// Figures: the refresh alone (the cage's rows and its final score), the lookup of the bird
// followed by the refresh, and the whole window: a cage typed and the box left, until the list
// and the final score are shown.

#include "generator.h"
#include "rules/exhibition/exhibition.h"
#include "rules/judging/judged_cage.h"
#include "windows/judging/judging_window.h"
#include "windows/shell/app_state.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <stdexcept>

namespace
{

// The judged cage nearest to `wanted`: group D birds have no scores.
int judgedCage(const AppState& state, int wanted)
{
    store::Statement find = state.mainDb.query(
        QStringLiteral("SELECT jaula FROM Recepcion WHERE grupo <> 'D' ORDER BY abs(jaula - ?) LIMIT 1"));
    find.bind(1, qint64(wanted));
    if (!find.step())
        throw std::runtime_error("no judged cage");
    return int(find.int64(0));
}

void benchExhibition(const QString& folder, int cages, int windowCage)
{
    bench::ExhibitionSize size;
    size.cages = cages;
    const bench::Generated files = bench::generate(folder, QStringLiteral("judging-%1.mdb").arg(cages), size);
    AppState state;
    state.programFolder = folder;
    exhibition::open(state, files.exhibition);
    const QString label = QStringLiteral("%1 jaulas").arg(cages);

    const int last = judgedCage(state, cages);
    const judging::ScoringRule rule = judging::ScoringRule::read(state.mainDb);
    // The refresh: the cage's rows and what they give, and the window's PuntosRs over them.
    const auto refresh = [&] {
        judging::readCage(state.mainDb, last, rule).listed(rule.criterion);
        judging::openCageRows(state.mainDb, last, rule.criterion);
    };
    bench::report(QStringLiteral("refresco, jaula %1 (%2)").arg(last).arg(label), bench::measure(50, refresh));
    bench::report(QStringLiteral("consulta + refresco, jaula %1 (%2)").arg(last).arg(label),
                  bench::measure(50, [&] {
                      judging::findBird(state.mainDb, last);
                      refresh();
                  }));

    // The window takes cages of three digits.
    const int typed = judgedCage(state, windowCage);
    JudgingWindow window(state);
    window.load();
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    auto* cageBox = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    bench::report(QStringLiteral("ventana: jaula %1 tecleada (%2)").arg(typed).arg(label),
                  bench::measure(50, [&] {
                      cageBox->setFocus(Qt::OtherFocusReason); // empties the window
                      cageBox->setText(QString::number(typed));
                      list->setFocus(Qt::TabFocusReason); // leaving the box looks the cage up
                      if (list->topLevelItemCount() != 5)
                          throw std::runtime_error("the cage's five judges were not listed");
                  }));
    window.hide();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    try {
        benchExhibition(folder, 999, 500);
        benchExhibition(folder, 100000, 998);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "palomas-bench-judging: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
