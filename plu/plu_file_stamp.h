#pragma once
// The date and time in the head comment of a PLU file, in the user's short
// date and long time forms (without a time-zone name, which the file's head
// comment has never carried).

#include "region/regional_forms.h"

#include <string>

struct PluFileStamp {
    std::string date; // bytes, as the file holds them
    std::string time;
};

PluFileStamp pluFileStamp(const RegionalForms& forms, const LocalDateTime& now);
