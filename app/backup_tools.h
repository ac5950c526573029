#pragma once
// The main window's whole-scale backup and restore, on the tool strip: the
// plain backup core does the work, the progress window shows it and its
// "STOP" ends it, and a restore is confirmed first, naming both scales and
// the backup's date.

#include "backup/scale_work.h"
#include "gui/page_context.h"

#include <QObject>
#include <functional>

class QWidget;
class TForm2;

class BackupTools : public QObject {
    Q_OBJECT
  public:
    BackupTools(PageContext context, TForm2& progress, QWidget& mainWindow);

    void backupClicked();
    void restoreClicked();
    bool running() const { return running_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Runs a job of `total` commands under the progress window.
    WorkOutcome runJob(int total, const std::function<WorkOutcome(const WorkHooks&)>& job);
    void tellOutcome(const WorkOutcome& outcome);

    PageContext context_;
    TForm2& progress_;
    QWidget& mainWindow_;
    bool running_ = false;
    bool closeAfterJob_ = false;
};
