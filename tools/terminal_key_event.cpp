#include "terminal_key_event.h"

#include "terminal_keys.h"

#include <QKeyEvent>
#include <array>

namespace {

std::uint16_t namedKey(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return static_cast<std::uint16_t>(vk::kF1 + (key - Qt::Key_F1));
    }
    switch (key) {
    case Qt::Key_Backspace:
        return vk::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: // the keypad's Enter
        return vk::kReturn;
    case Qt::Key_Shift:
        return vk::kShift;
    case Qt::Key_Control:
        return vk::kControl;
    case Qt::Key_Alt:
        return vk::kMenu;
    case Qt::Key_Escape:
        return vk::kEscape;
    case Qt::Key_Space:
        return vk::kSpace;
    case Qt::Key_PageUp:
        return vk::kPrior;
    case Qt::Key_PageDown:
        return vk::kNext;
    case Qt::Key_End:
        return vk::kEnd;
    case Qt::Key_Home:
        return vk::kHome;
    case Qt::Key_Left:
        return vk::kLeft;
    case Qt::Key_Up:
        return vk::kUp;
    case Qt::Key_Right:
        return vk::kRight;
    case Qt::Key_Down:
        return vk::kDown;
    case Qt::Key_Print:
    case Qt::Key_SysReq: // Print Screen with Alt held
        return vk::kSnapshot;
    case Qt::Key_Insert:
        return vk::kInsert;
    case Qt::Key_Delete:
        return vk::kDelete;
    default:
        return vk::kNone;
    }
}

#if !defined(Q_OS_WIN)
// X keycodes (Linux input codes + 8, the same under X11 and Wayland) of the
// digit and letter keys, by position on the keyboard.
constexpr int kKeycodeDigit1 = 10; // 1..9, then 0 at 19
constexpr int kKeycodeDigit0 = 19;
struct LetterRow {
    int firstKeycode;
    const char* letters;
};
constexpr std::array<LetterRow, 3> kLetterRows{{
    {24, "QWERTYUIOP"},
    {38, "ASDFGHJKL"},
    {52, "ZXCVBNM"},
}};
#endif

// The digit or letter a key carries when its character is not one: Shift+1
// gives "!", a Cyrillic layout gives Cyrillic letters, and the key still means
// its digit or letter.
std::uint16_t physicalKey(const QKeyEvent& event) {
#if defined(Q_OS_WIN)
    const quint32 code = event.nativeVirtualKey();
    const bool digit = code >= vk::kDigit0 && code <= vk::kDigit0 + 9;
    const bool letter = code >= vk::kLetterA && code <= vk::kLetterA + 25;
    return digit || letter ? static_cast<std::uint16_t>(code) : vk::kNone;
#else
    const auto keycode = static_cast<int>(event.nativeScanCode());
    if (keycode >= kKeycodeDigit1 && keycode < kKeycodeDigit0) {
        return static_cast<std::uint16_t>('1' + (keycode - kKeycodeDigit1));
    }
    if (keycode == kKeycodeDigit0) {
        return '0';
    }
    for (const LetterRow& row : kLetterRows) {
        const std::string_view letters(row.letters);
        if (keycode >= row.firstKeycode && keycode < row.firstKeycode + static_cast<int>(letters.size())) {
            return static_cast<std::uint16_t>(letters[static_cast<std::size_t>(keycode - row.firstKeycode)]);
        }
    }
    return vk::kNone;
#endif
}

} // namespace

std::uint16_t virtualKeyForKeyEvent(const QKeyEvent& event) {
    const int key = event.key();
    const bool digitKey = key >= Qt::Key_0 && key <= Qt::Key_9;
    if (digitKey && event.modifiers().testFlag(Qt::KeypadModifier)) {
        return static_cast<std::uint16_t>(vk::kNumpad0 + (key - Qt::Key_0));
    }
    if (const std::uint16_t named = namedKey(key); named != vk::kNone) {
        return named;
    }
    if (digitKey) {
        return static_cast<std::uint16_t>(vk::kDigit0 + (key - Qt::Key_0));
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<std::uint16_t>(vk::kLetterA + (key - Qt::Key_A));
    }
    return physicalKey(event);
}
