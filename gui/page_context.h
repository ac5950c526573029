#pragma once
// What every page and secondary window is handed by the main window: the one
// scale link, the user-interface seam, the grids' shared remembered cell text,
// and the user's decimal separator (read once from the system locale).

#include <string>

class ScaleLink;
class UserInterface;

// The text of the grid cell being edited, which a refused keystroke puts back.
// The PLU grid and the tax grid share it: only one cell is edited at a time.
struct RememberedText {
    std::string bytes;
};

struct PageContext {
    ScaleLink& link;
    UserInterface& ui;
    RememberedText& rememberedText;
    char decimalSeparator = '.';
};
