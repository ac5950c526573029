#pragma once
// The grid as the find shows it: a proxy over the table model that hides the
// rows the query does not find. It never changes or reorders the rows behind
// it, so row numbers, saves by position and transfers see the whole grid.
//
// Rows are not re-filtered as cells change (a row being typed in stays in
// view, and a transfer filling 1801 rows costs no filtering); whoever changed
// the grid calls refilter() once when done.

#include "plu_find.h"

#include <QSortFilterProxyModel>
#include <optional>

class PluGrid;

class PluFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    PluFilterProxy(const PluGrid& grid, QObject* parent = nullptr);

    // Filters again only when the query differs from the one shown.
    void setQuery(const PluFindQuery& query);
    const PluFindQuery& query() const { return query_; }
    bool filtering() const { return finder_.has_value(); }
    // The grid changed under an active query: find again.
    void refilter();

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    const PluGrid& grid_;
    PluFindQuery query_;
    std::optional<PluRowFinder> finder_; // none while every row is shown
};
