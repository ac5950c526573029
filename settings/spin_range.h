#pragma once
// The range of a spin field. A value set from a reply outside it is clamped to
// the nearer bound, as the field itself clamps what is typed when it is left.

struct SpinRange {
    int minimum;
    int maximum;
    constexpr int clamp(long long value) const {
        return value < minimum ? minimum : value > maximum ? maximum : static_cast<int>(value);
    }
};
