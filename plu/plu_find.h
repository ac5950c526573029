#pragma once
// Finding rows: a text contained in NUM, CODE or NAME, compared without
// regard to case on the single bytes as the grid shows them (Windows-1252,
// so "é" finds "É"), and optionally only rows whose NUM is not empty.

#include "plu_grid.h"

#include <string>
#include <string_view>

struct PluFindQuery {
    std::string text; // bytes; empty finds every row
    bool inUseOnly = false;
    bool findsEverything() const { return text.empty() && !inUseOnly; }
};

// The byte a Windows-1252 byte folds to when case is ignored (its lower case).
unsigned char foldCase1252(unsigned char byte);

// A query ready for many rows: its text folded once.
class PluRowFinder {
  public:
    explicit PluRowFinder(const PluFindQuery& query);
    bool matches(const PluRow& row) const;

  private:
    bool contains(std::string_view haystack) const;

    std::string folded_;
    bool inUseOnly_;
};
