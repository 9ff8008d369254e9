// SPDX-License-Identifier: MIT
// One filter of the gallery and its parameters: a plain value handed to applyEffect().
#pragma once

// In the order of the gallery's thumbnail strip.
enum class EffectKind {
    BrightnessContrast,
    PaperSketch,
    PencilStroke,
    BlackAndWhite,
    Invert,
    Sepia,
    Emboss,
    Water,
    Blur,
    BoxBlur,
    RadialBlur,
};

inline constexpr int effectKindCount = 11;

// Only the fields of the chosen kind matter. The initialisers are the gallery's opening values, except
// brushSize, which opens at 3 for the paper sketch and 5 for the pencil stroke (see openingEffect()).
struct Effect {
    EffectKind kind = EffectKind::Water;
    double brightness = 0; // BrightnessContrast, -1 .. 1
    double contrast = 1;   // BrightnessContrast, 0 .. 2
    double brushSize = 3;  // PaperSketch 0.6 .. 10, PencilStroke 1 .. 19
    double amount = 0.5;   // Sepia and Emboss, 0 .. 1
    double width = 3;      // Emboss, 0 .. 10
    double time = 0;       // Water, 0 .. 2048
    double waveSize = 64;  // Water, 32 .. 256
    double softness = 0.3; // Blur, 0 .. 9
    double blurAmount = 1; // BoxBlur and RadialBlur, 0.01 .. 10

    friend bool operator==(const Effect&, const Effect&) = default;
};
