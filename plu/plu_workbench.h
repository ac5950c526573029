#pragma once
// The PLU workbench on the "PLU" page: the find, the operations on selected
// rows (price change, one value for a column, clearing), the spreadsheet
// clipboard, undo and redo, and CSV export and import. It only wires: the
// work is plain code (plu_bulk_edit, cell_block, plu_csv, csv_columns), and
// every change of the grid goes through the page as one undo step.

#include "csv_columns.h"
#include "plu_csv.h"

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

class PluPage;
class QAction;
class QMenu;
class QtWorkbenchDialogs;
class WorkbenchDialogs;

class PluWorkbench : public QObject {
    Q_OBJECT
  public:
    explicit PluWorkbench(PluPage& page);
    ~PluWorkbench() override;

    // Tests answer the questions themselves; the program asks with dialogs.
    void setDialogs(WorkbenchDialogs& dialogs) { dialogs_ = &dialogs; }
    // Reads the remembered CSV columns from the file and keeps them there.
    void setColumnMemoryFile(const std::filesystem::path& path);

    // What the menu items and their keys do.
    void copySelection();
    void pasteAtCurrentCell();
    void changePrices();
    void setColumnValue(int column);
    void clearRows();
    void exportCsv();
    void importCsv();

    // The rows an operation works on: the rows of the selection when it
    // covers more than one cell, otherwise every row the find shows.
    std::vector<int> targetRows() const;
    // "3 rows selected" or "all 1801 rows shown".
    QString scopeText(const std::vector<int>& rows) const;

    // The menu of PluToolsButton, also the grid's context menu.
    QMenu& menu() { return *menu_; }

  private:
    void buildMenu();
    void connectControls();
    void updateMenu();
    void updateUndoActions();
    void applyFind();
    bool selectionCoversManyCells() const;
    void saveColumnMemory() const;
    // The decimal separator the grid holds numbers with.
    char separator() const;

    PluPage& page_;
    std::unique_ptr<QtWorkbenchDialogs> ownDialogs_;
    WorkbenchDialogs* dialogs_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* scope_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* paste_ = nullptr;
    std::vector<QAction*> gridChanges_; // disabled while a transfer runs
    CsvColumnMemory columnMemory_;
    std::filesystem::path columnMemoryFile_;
    CsvExportOptions exportOptions_;
};
