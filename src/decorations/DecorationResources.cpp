// SPDX-License-Identifier: MIT
#include "decorations/DecorationResources.h"

#include <QtGlobal>

void initDecorationResources() {
    // Only registers the resource tree; no picture is decoded here.
    Q_INIT_RESOURCE(decorations);
}
