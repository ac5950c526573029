#pragma once
// Finding rows: a text contained in NUM, CODE or NAME, compared without
// regard to case on the single bytes as the grid shows them (Windows-1252,
// so "é" finds "É"), and optionally only rows whose NUM is not empty.
//
// A text "<column>=<value>" (e.g. "DEP=3", "valid date = 0") finds instead
// the rows whose cell in that column is the value, so that one department
// can be shown and changed at once.

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
    bool equals(std::string_view cell) const;

    std::string folded_;
    int column_ = -1; // the column of "<column>=<value>", or -1 for the plain find
    bool inUseOnly_;
};
