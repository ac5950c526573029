#pragma once
// The search for the scale as the user sees it: which port and speed is being
// tried, how far the search is, a button to stop it, and at the end what was
// found or, plainly, that nothing answered. The search itself is ScaleFinder's.

#include "link/scale_finder.h"

#include <QDialog>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

class FindScaleDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindScaleDialog(QWidget* parent = nullptr);

    // Runs the search to its end, or until the user stops it, letting pending
    // events run between two probes. The dialog stays up with the result.
    std::optional<ScaleFinder::Found> run(ScaleFinder& finder);

    QString resultText() const;

  private:
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* button_ = nullptr;
    bool running_ = false;
    bool stopped_ = false;
};

// What the dialog says at the end of a search.
QString findScaleResultText(const ScaleFinder& finder, bool stopped);
