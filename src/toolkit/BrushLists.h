// SPDX-License-Identifier: MIT
// The option lists of the brush and stroke controls, in their order: an entry's index in its list is its
// value.
#pragma once

#include "scene/Brush.h"

#include <QComboBox>

#include <array>

template <class Value> struct ListEntry {
    const char* text;
    Value value;
};

inline constexpr std::array<ListEntry<BrushKind>, 4> brushKindList{{
    {"Image", BrushKind::Image},
    {"Solid", BrushKind::Solid},
    {"Gradient", BrushKind::Gradient},
    {"None", BrushKind::None},
}};

inline constexpr std::array<ListEntry<StrokeDash>, 5> dashList{{
    {"Dash", StrokeDash::Dash},
    {"DashDot", StrokeDash::DashDot},
    {"DashDotDot", StrokeDash::DashDotDot},
    {"Dot", StrokeDash::Dot},
    {"Solid", StrokeDash::Solid},
}};

// "Square" ends flat at the end points; nothing extends beyond them.
inline constexpr std::array<ListEntry<StrokeCap>, 2> capList{{
    {"Square", StrokeCap::Flat},
    {"Round", StrokeCap::Round},
}};

inline constexpr std::array<ListEntry<Gradient::Style>, 2> gradientStyleList{{
    {"Linear", Gradient::Style::Linear},
    {"Radial", Gradient::Style::Radial},
}};

template <class Value, std::size_t count>
void fillList(QComboBox* list, const std::array<ListEntry<Value>, count>& entries, int selected) {
    for (const ListEntry<Value>& entry : entries)
        list->addItem(QString::fromUtf8(entry.text));
    list->setCurrentIndex(selected);
}

// The value of the entry at `index` of a list (the first entry for an index out of range).
template <class Value, std::size_t count>
Value listValue(const std::array<ListEntry<Value>, count>& entries, int index) {
    return entries[index >= 0 && std::size_t(index) < count ? std::size_t(index) : 0].value;
}

// The index of the entry holding `value` (0 when none does).
template <class Value, std::size_t count>
int listIndex(const std::array<ListEntry<Value>, count>& entries, Value value) {
    for (std::size_t index = 0; index < count; ++index)
        if (entries[index].value == value)
            return int(index);
    return 0;
}
