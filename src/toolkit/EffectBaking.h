// SPDX-License-Identifier: MIT
// Baking a filter into a picture from a window: off the GUI thread, with a busy cursor and a progress dialog.
#pragma once

#include "steps/EffectBaking.h"

class QWidget;

// The baked picture as bakeEffect() gives it, made off the GUI thread with a busy cursor, and a progress
// dialog that appears when the work takes longer than half a second and lets the user cancel. Returns a
// null picture if cancelled.
QImage bakeEffectWithProgress(QWidget* parent, const Effect& effect, const QImage& picture);
