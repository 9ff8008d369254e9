// SPDX-License-Identifier: MIT
// Named watermarks kept in the user's settings, with the logo's bytes: chosen in the watermark window, in
// the batch window and from the command line (`--watermark NAME`).
#pragma once

#include "steps/WatermarkStep.h"

#include <QStringList>

#include <optional>

namespace watermark_presets {

// The names, in the order they were first saved.
QStringList names();
// The preset of that name (the exact name first, else one differing only in case); none when there is none.
std::optional<WatermarkSettings> find(const QString& name);
// Saves (or replaces) a preset; the fields a photo filled and how the window showed the step are not kept.
// Throws UserError for an empty name.
void save(const QString& name, const WatermarkSettings& settings);
void remove(const QString& name);

} // namespace watermark_presets
