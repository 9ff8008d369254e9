// SPDX-License-Identifier: MIT
// Registers the embedded decoration pictures (":/decorations/..."). Call once at start-up, before any
// gallery opens: a static library drops resources nobody references, so this call keeps them in.
#pragma once

void initDecorationResources();
