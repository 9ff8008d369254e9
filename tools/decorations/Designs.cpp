// SPDX-License-Identifier: MIT
#include "Designs.h"

std::span<const Design> designsOf(DecorationSet set) {
    switch (set) {
    case DecorationSet::Borders:
        return borderDesigns();
    case DecorationSet::Effects:
        return effectDesigns();
    case DecorationSet::Montages:
        return montageDesigns();
    }
    return {};
}
