#pragma once

#include "rules/judging/final_score.h"
#include "rules/judging/judge_rows.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QLineEdit;
struct AppState;

namespace judging
{
struct CageList;
struct Paloma;
} // namespace judging

namespace Ui
{
class JudgingWindow;
}

// "Puntuacion de los Jueces": the judges' sheets are typed in here, one cage at a time. The
// cage's bird and its judges' rows are shown with the bird's final score; each judge's five
// partial scores are checked against their ranges and stored as one row of Puntos; closing the
// window on a cage that all its judges have scored stores its final score.
class JudgingWindow : public QDialog
{
    Q_OBJECT
public:
    JudgingWindow(AppState& state, QWidget* parent = nullptr);
    ~JudgingWindow() override;

    // The opening work, done at every showing: the configuration's judges and criterion, an
    // empty cage, and the refusal to work when no judges are configured.
    void load();
    int exec() override;
    // Every way of closing ends here: the final score of the cage shown is stored first.
    void done(int result) override;

private:
    enum Key { Grabar, Borrar, Modificar, Buscar, OtraJaula, Salir }; // "p1" .. "p6"

    void connectControls();
    void enable(std::initializer_list<Key> keys, bool on);
    void showCageToolbar();

    void cageFocusIn();
    void cageFocusOut();
    void showBird(const judging::Paloma& bird);
    void clearCage();
    void refresh();
    judging::ScoringRule scoringRule() const;
    void showList(const std::vector<judging::JudgeScores>& rows);
    // The judge of the list row selected, noted in CurrentJaula; nothing when none is.
    std::optional<int> selectedJudge();

    void grabar();
    void borrar();
    void modificar();
    void otraJaula();

    void startEntry(judging::EntryMode mode);
    void judgeFocusOut();
    void scoreFocusOut(int index);
    bool checksApply() const;
    void refuse(QLineEdit* box, const QString& message, const QString& reset);
    void updateTotal();
    void aceptar();
    void cancelar();
    void endEntry();

    QLineEdit* scoreBox(int index) const;

    AppState& m_state;
    std::unique_ptr<Ui::JudgingWindow> m_ui;
    std::array<QAction*, 6> m_actions{};
    std::optional<int> m_cage; // the cage whose bird is shown
    QString m_grupo;           // its group, as shown
    int m_listRows = 0;
    bool m_entering = false; // the entry panel is open
    judging::EntryMode m_mode = judging::EntryMode::New;
    int m_entryJudge = 0;        // the judge of the row being changed
    QPointer<QWidget> m_refocus; // a refused box the focus is going back to
};
