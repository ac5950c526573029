#include "plu_filter_proxy.h"

#include "plu_grid.h"

PluFilterProxy::PluFilterProxy(const PluGrid& grid, QObject* parent)
    : QSortFilterProxyModel(parent), grid_(grid) {
    setDynamicSortFilter(false);
}

void PluFilterProxy::setQuery(const PluFindQuery& query) {
    if (query.text == query_.text && query.inUseOnly == query_.inUseOnly) {
        return;
    }
    query_ = query;
    if (query_.findsEverything()) {
        finder_.reset();
    } else {
        finder_.emplace(query_);
    }
    invalidateRowsFilter();
}

void PluFilterProxy::refilter() {
    if (finder_) {
        invalidateRowsFilter();
    }
}

bool PluFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return !finder_ || finder_->matches(grid_.row(sourceRow + 1));
}
