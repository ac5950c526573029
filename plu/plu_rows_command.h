#pragma once
// One user action on the grid as one step of the undo history. It holds the
// rows the action changed, before and after, and hands them to the page to
// put into the grid; it is pushed once the action has run, so the first redo
// that QUndoStack::push asks for does nothing.

#include "plu_grid_change.h"

#include <QUndoCommand>
#include <functional>

class PluRowsCommand : public QUndoCommand {
  public:
    // Puts the "after" (true) or "before" (false) rows of the change into the grid.
    using Apply = std::function<void(const PluGridChange& change, bool after)>;

    PluRowsCommand(const QString& title, PluGridChange change, Apply apply)
        : QUndoCommand(title), change_(std::move(change)), apply_(std::move(apply)) {}

    void undo() override { apply_(change_, false); }
    void redo() override {
        if (pushed_) {
            apply_(change_, true);
        }
        pushed_ = true;
    }

  private:
    PluGridChange change_;
    Apply apply_;
    bool pushed_ = false;
};
