#pragma once

// The choice of a workbook, shared by the two import windows: the drive box, the list of the
// drive's workbooks and the picking of one of them. "C:" opens the file dialog; every other
// letter lists the spreadsheets (.xls, .xlsx, .ods, .csv) of the folder the letter stands for
// (shell/drives.h). Each entry of the list keeps the full path of its file, so the workbook read
// is always the one picked, however it was picked.

#include <QObject>
#include <QString>

class KeyboardHelper;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWidget;

class WorkbookChooser : public QObject
{
    Q_OBJECT
public:
    struct Controls {
        QComboBox* drive = nullptr;     // Combo1
        QLabel* label = nullptr;        // Label1: "Ficheros en " and the drive
        QListWidget* files = nullptr;   // List1
        QPushButton* aceptar = nullptr; // Command1: shown once a workbook is picked
        QWidget* status = nullptr;      // Text1: hidden by any key in the list
    };
    // Enter or a double click on an entry picks its workbook, shows Aceptar and gives it the focus.
    WorkbookChooser(QWidget* window, KeyboardHelper* keyboard, QString programFolder, Controls controls);

    // The opening: drive "A:" and its workbooks, the first selected, nothing picked.
    void start();

    // The workbook picked: its full path ("" for an empty entry, or when none was picked) and the
    // name shown in the list.
    QString pickedPath() const { return m_pickedPath; }
    QString pickedName() const { return m_pickedName; }

private:
    void driveChosen();
    void listDrive(const QString& drive);
    void archivoAbrir();
    void pick(const QListWidgetItem* item);
    bool listKey(int key);

    QWidget* m_window;
    QString m_programFolder;
    Controls m_controls;
    QString m_pickedPath;
    QString m_pickedName;
    QString m_dialogFolder; // where the file dialog opens: the folder of the last file chosen in it
};
