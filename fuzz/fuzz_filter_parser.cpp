// SPDX-License-Identifier: MIT
// The command line's filter descriptions ("NAME[:PARAM=VALUE,...]"): an effect with every parameter in its
// range or a message; an accepted effect's canonical text reads back as the same effect.
#include "FuzzSupport.h"
#include "effects/EffectCatalog.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const EffectParseResult parsed = parseEffect(text);
    if (!parsed) {
        FUZZ_CHECK(!parsed.error.isEmpty());
        return 0;
    }
    const Effect& effect = *parsed.effect;
    for (const EffectParameter& parameter : effectInfo(effect.kind).parameters) {
        const double value = effect.*parameter.field;
        FUZZ_CHECK(std::isfinite(value));
        FUZZ_CHECK(value >= parameter.minimum && value <= parameter.maximum);
    }
    const QString canonical = effectToString(effect);
    const EffectParseResult again = parseEffect(canonical);
    FUZZ_CHECK(again);
    FUZZ_CHECK(effectToString(*again.effect) == canonical);
    return 0;
}
