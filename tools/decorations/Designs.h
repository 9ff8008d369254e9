// SPDX-License-Identifier: MIT
// The drawing function of every decoration picture, keyed by the picture's control name. Sizes, grid places
// and thumbnail modes come from the catalog in src/galleries/DecorationCatalog.h.
#pragma once

#include "decorations/DecorationCatalog.h"

#include <QImage>

#include <span>

struct Design {
    const char* name;
    void (*draw)(QImage& canvas); // canvas arrives fully transparent at the picture's size
};

std::span<const Design> borderDesigns();
std::span<const Design> effectDesigns();
std::span<const Design> montageDesigns();
std::span<const Design> designsOf(DecorationSet set);
