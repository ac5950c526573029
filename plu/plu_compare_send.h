#pragma once
// COMPARE WITH SCALE and SEND CHANGES on the "PLU" page: the marks in the
// grid, the result panel beside the main window, taking the scale's values,
// and the note under the grid that says how the last of them ended. It only
// wires: the work is plain code (plu_comparison, send_changes,
// take_scale_values), the page runs the exchanges under its progress window,
// and every change of the grid is one undo step through the page.
//
// A comparison stays shown while it still says something: its marks follow
// every edit and every write, and go with a new compare, CLEAR, a load, a new
// connection, or when the program no longer knows what the scale holds.

#include "comparison_marks.h"
#include "plu_comparison.h"
#include "scale_knowledge_watch.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

class CompareResultPanel;
class PluPage;
class QAction;
class QTimer;
struct TakeScaleValuesPlan;

class PluCompareSend : public QObject {
    Q_OBJECT
  public:
    explicit PluCompareSend(PluPage& page);
    ~PluCompareSend() override;

    // What the buttons, the panel and the tools menu do.
    void compareClicked();
    void sendChangesClicked();
    void takeSelected();                            // the findings selected in the panel
    void takeAll();                                 // every finding
    void takeForRows(const std::vector<int>& rows); // rows of the grid
    void showPanel();                               // the result panel, filled and in front

    // The comparison the grid shows, if any.
    const PluComparison* comparison() const { return shown_ ? &shown_->comparison : nullptr; }
    CompareResultPanel& resultPanel() { return *panel_; }

    // What the marks stood on no longer holds.
    void endComparison();
    // The watch dropped the knowledge, outside or inside a job of the page.
    void knowledgeDropped(KnowledgeDropped why);
    // SAVE TO SCALE ended: what it wrote is known now.
    void scaleWritten();

  private:
    struct Shown {
        ScaleKnowledge compared;       // the part of the table the compare read, as known now
        ScaleKnowledge changedOnScale; // what was known before of the PLUs it found changed there
        PluComparison comparison;
        QString heading;
    };

    // Returns true when the whole range was compared.
    bool runCompare(int from, int to);
    // `before` leads the closing note.
    void send(int from, int to, const QString& before = {});
    void refresh();
    void showComparison(bool justCompared);
    void followKnowledge();
    // The PLUs whose rows would write older values over a change on the scale.
    std::vector<std::uint16_t> plusOverwritingChanges(int from, int to) const;
    // Asks before such a send; false when nothing is to be sent.
    bool keepOrOverwriteScaleChanges(int from, int to, QString& kept);
    void applyTake(const TakeScaleValuesPlan& plan, bool report = true);
    void setNote(const QString& text, bool isSummary = false);
    void updateMenu();

    PluPage& page_;
    ComparisonMarks marks_;
    std::optional<Shown> shown_;
    CompareResultPanel* panel_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    QAction* takeAction_ = nullptr;
    QAction* showAction_ = nullptr;
    bool noteIsSummary_ = false;
    bool panelPlaced_ = false;
};
