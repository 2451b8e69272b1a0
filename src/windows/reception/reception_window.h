#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

struct AppState;
class QTreeWidgetItem;

namespace Ui
{
class ReceptionWindow;
}

namespace reception
{
struct BirdEntry;
struct BirdRow;
enum class EntryField;
} // namespace reception

// The reception of the birds: the list of received cages in numeric order above the entry frame
// in which one cage is shown, entered ("1 Grabar") or modified ("3 Modificar"). Every reload of
// the list recomputes and stores the final score of every cage.
class ReceptionWindow : public QDialog
{
    Q_OBJECT
public:
    ReceptionWindow(AppState& state, QWidget* parent = nullptr);
    ~ReceptionWindow() override;

    // The opening work: a fresh window state and the first reload of the list.
    void load();

    int exec() override;
    // Opens the window with the cage's bird shown (another window's "open this cage").
    int execAt(int cage);

    // F1 in the club box asks this for a club code (the club search window); nothing chosen
    // leaves the box as it was. Without a picker F1 does nothing.
    void setClubPicker(std::function<std::optional<QString>()> picker);

protected:
    bool event(QEvent* event) override;

private:
    // The list and the cage shown (reception_list.cpp).
    void reload();
    void fillList();
    void selectPosition(int position);
    // Selects the cage in the list; false when the list does not hold it.
    bool selectCage(int cage);
    void showCage(QTreeWidgetItem* item);
    // The bird of a list item: its cage (the tag) and its row.
    static reception::BirdRow birdOf(const QTreeWidgetItem* item);
    static constexpr int birdRowRole = Qt::UserRole + 1;
    void showConditions(const QVariant& conc, const QVariant& km, const QVariant& coef);
    void lookUpClub(const QString& code);
    void clearEntry();
    void setBrowsingTools(bool haveCages);

    // The entry (reception_window.cpp).
    void grabar();
    void modificar();
    void aceptar();
    void cancelar();
    void startEntry(bool newCage);
    void endEntry();
    void checkDuplicate();
    void leaveGroup();
    void leaveCategory();
    void pickClub();
    reception::BirdEntry typedEntry() const;
    QWidget* box(reception::EntryField field) const;

    // The toolbar's other commands (reception_window.cpp).
    void borrar();
    void borrarTodas();
    void buscar();
    // F2: the status of the selected bird.
    void cambiarEstado();

    AppState& m_state;
    std::unique_ptr<Ui::ReceptionWindow> m_ui;
    std::function<std::optional<QString>()> m_clubPicker;
    bool m_newCage = false;  // the entry mode
    bool m_entering = false; // the entry frame is open for typing
    bool m_inOwnBox = false; // the window gave way to a box of its own
    QString m_proposed;      // the cage number proposed by "Grabar"
    int m_position = 0;      // the list position remembered by "Modificar", from 1; 0 for none
    qint64 m_row = 0;        // the row of the bird "Modificar" changes
};
