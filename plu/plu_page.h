#pragma once
// The "PLU" page: the PLU grid, the range, and the buttons that move the
// table between the grid, the scale and a file.

#include "gui/page_context.h"
#include "plu_grid.h"
#include "plu_grid_change.h"

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PluCellDelegate;
class PluCompareSend;
class PluFilterProxy;
class PluTableModel;
class PluWorkbench;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QUndoStack;
class RangeSpinEdit;
class ScaleKnowledge;
class ScaleKnowledgeWatch;
class TForm2;
class TransferLossMarks;
struct TransferHooks;

class PluPage : public QWidget {
    Q_OBJECT
  public:
    PluPage(PageContext context, QWidget* parent = nullptr);
    ~PluPage() override;

    // The "ALL" action: FROM = 1, TO = 1799.
    void allClicked();

    // The progress window the main window created at start-up. Without one,
    // the page creates its own at the first transfer.
    void setProgressWindow(TForm2* window);
    TForm2& progressWindow();

    bool transferRunning() const { return transferRunning_; }
    const PluGrid& grid() const { return grid_; }
    const PageContext& context() const { return context_; }

    // One user action as one step of the undo history: each row given takes
    // the texts given. Rows whose texts do not change are left out; returns
    // how many rows changed (0: no step). Refused while a transfer runs.
    int applyRowsAsOneStep(const QString& title, std::vector<PluRowEdit> edits);
    // Undo and redo of the grid's steps (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y).
    void undoStep();
    void redoStep();
    QUndoStack& undoStack() { return *undoStack_; }

    // The model behind the grid (data rows, mark sources) and the find's view of it.
    PluTableModel& tableModel() { return *model_; }
    PluFilterProxy& filterProxy() { return *proxy_; }
    // Data row (1..1801) of an index of the grid's view.
    int dataRow(const QModelIndex& viewIndex) const;
    // The data rows the view shows, top to bottom.
    std::vector<int> shownRows() const;

    // The find, the selection operations, the clipboard and CSV exchange.
    PluWorkbench& workbench() { return *workbench_; }
    // COMPARE WITH SCALE, SEND CHANGES and what they show.
    PluCompareSend& compareSend() { return *compareSend_; }
    // Scrolls the grid to a data row and makes it the current one, when the find shows it.
    void showDataRow(int row);

    // What the program knows the scale holds, PLU by PLU, in this connection:
    // fed by every load, compare and write of the page, dropped by a failed
    // exchange anywhere and by PLUs written from elsewhere.
    ScaleKnowledge& scaleKnowledge() { return *knowledge_; }
    // CONNECT or DISCONNECT: whatever was known of the scale no longer holds.
    void scaleConnectionChanged();

    // TO then FROM as whole numbers; a text that is not one is reported.
    bool readRange(int& from, int& to);
    // Runs a job of exchanges under the progress window as a transfer runs:
    // positions 0..span, STOP, the main window's close waiting for its end,
    // and no other change of the grid meanwhile.
    void runScaleJob(int span, const std::function<void(TForm2&, const TransferHooks&)>& job,
                     const std::function<void()>& atPaintMoment = {});
    // Where the CSV import keeps the columns the user assigned by hand.
    void setCsvColumnMemoryFile(const std::filesystem::path& path);

    QTableView* StringGrid1 = nullptr;
    RangeSpinEdit* SpinEdit1 = nullptr;       // FROM
    RangeSpinEdit* SpinEdit2 = nullptr;       // TO
    QPushButton* Button12 = nullptr;          // "ALL"
    QPushButton* Button17 = nullptr;          // "CLEAR"
    QPushButton* Button5 = nullptr;           // "LOAD FROM DISK"
    QPushButton* Button6 = nullptr;           // "SAVE TO DISK"
    QPushButton* Button7 = nullptr;           // "LOAD FROM SCALE"
    QPushButton* Button8 = nullptr;           // "SAVE TO SCALE"
    QLineEdit* FindEdit = nullptr;            // rows whose NUM, CODE or NAME hold the text
    QCheckBox* InUseOnly = nullptr;           // only rows with a PLU number
    QToolButton* PluToolsButton = nullptr;    // selection operations, clipboard, undo, CSV
    QPushButton* CompareButton = nullptr;     // "COMPARE WITH SCALE"
    QPushButton* SendChangesButton = nullptr; // "SEND CHANGES"
    QCheckBox* VerifyWrites = nullptr;        // each PLU SEND CHANGES writes is read back
    QLabel* CompareSendNote = nullptr;        // how the last compare or send ended

    void Button17Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();

    // The user moved to a cell (data row 1..1801): its text is the one a
    // refused keystroke puts back.
    void StringGrid1SelectCell(int column, int row);
    // The text of the cell being edited changed; stores and checks it. On
    // refusal the cell holds the remembered text again, the beep sounds and
    // false is returned.
    bool StringGrid1SetEditText(int column, int row, const QString& text);

  signals:
    // CLEAR, LOAD FROM DISK or LOAD FROM SCALE gave the grid a new table.
    void tableReplaced();
    // SAVE TO SCALE ended, however.
    void scaleWritten();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Transfer { Load, Save };

    void buildControls();
    void connectControls();
    void runTransfer(Transfer kind);

    // Runs a change that plain code makes to the grid and keeps what it
    // changed as one undo step.
    void recordStep(const QString& title, const std::function<void()>& change);
    // Pushes a change already made to the grid and shows it.
    void pushStep(const QString& title, PluGridChange change);
    // Undo (after = false) or redo of a step.
    void applyStep(const PluGridChange& change, bool after);
    void showChangedRows(const PluGridChange& change);
    // Typing into a cell is one step from the editor's opening to its closing.
    void beginTypingStep(int row, int column);
    void finishTypingStep();

    struct TypingStep {
        int row = 0;
        int column = 0;
        std::string before;
    };

    PageContext context_;
    PluGrid grid_;
    PluTableModel* model_ = nullptr;
    PluFilterProxy* proxy_ = nullptr;
    PluCellDelegate* delegate_ = nullptr;
    QUndoStack* undoStack_ = nullptr;
    std::unique_ptr<TransferLossMarks> transferMarks_;
    PluWorkbench* workbench_ = nullptr;
    std::unique_ptr<ScaleKnowledge> knowledge_;
    std::unique_ptr<ScaleKnowledgeWatch> knowledgeWatch_;
    PluCompareSend* compareSend_ = nullptr;
    std::optional<TypingStep> typing_;
    QPointer<TForm2> progressWindow_;
    bool transferRunning_ = false;
    bool closeAfterTransfer_ = false;
};
