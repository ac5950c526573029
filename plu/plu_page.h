#pragma once
// The "PLU" page: the PLU grid, the range, and the buttons that move the
// table between the grid, the scale and a file.

#include "gui/page_context.h"
#include "plu_grid.h"

#include <QPointer>
#include <QWidget>

class PluCellDelegate;
class PluTableModel;
class QLabel;
class QPushButton;
class QTableView;
class RangeSpinEdit;
class TForm2;

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

    QTableView* StringGrid1 = nullptr;
    RangeSpinEdit* SpinEdit1 = nullptr; // FROM
    RangeSpinEdit* SpinEdit2 = nullptr; // TO
    QPushButton* Button12 = nullptr;    // "ALL"
    QPushButton* Button17 = nullptr;    // "CLEAR"
    QPushButton* Button5 = nullptr;     // "LOAD FROM DISK"
    QPushButton* Button6 = nullptr;     // "SAVE TO DISK"
    QPushButton* Button7 = nullptr;     // "LOAD FROM SCALE"
    QPushButton* Button8 = nullptr;     // "SAVE TO SCALE"

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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Transfer { Load, Save };

    void buildControls();
    void connectControls();
    void runTransfer(Transfer kind);
    // TO then FROM as whole numbers; a text that is not one is reported.
    bool readRange(int& from, int& to);
    void refreshGrid();

    PageContext context_;
    PluGrid grid_;
    PluTableModel* model_ = nullptr;
    PluCellDelegate* delegate_ = nullptr;
    QPointer<TForm2> progressWindow_;
    bool transferRunning_ = false;
    bool closeAfterTransfer_ = false;
};
