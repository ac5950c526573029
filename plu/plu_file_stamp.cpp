#include "plu_file_stamp.h"

PluFileStamp pluFileStamp(const RegionalForms& forms, const LocalDateTime& now) {
    return {forms.shortDate(now), forms.longTime(now)};
}
