// SPDX-License-Identifier: MIT
#include "app/BatchFilter.h"

#include "base/UserError.h"
#include "effects/EffectCatalog.h"
#include "pictures/Pictures.h"
#include "pictures/Resampler.h"
#include "pictures/WebExport.h"
#include "toolkit/EffectBaking.h"

#include <QTextStream>

QString batchFilterHelp() {
    QString text =
        QStringLiteral("Filters for --filter (parameters left out take the gallery's opening values):\n");
    for (const EffectInfo& info : effectCatalog()) {
        text += QStringLiteral("  %1").arg(QString::fromLatin1(info.name));
        QStringList parameters;
        for (const EffectParameter& parameter : info.parameters)
            parameters << QStringLiteral("%1=%2..%3 (%4)")
                              .arg(QString::fromLatin1(parameter.name))
                              .arg(parameter.minimum)
                              .arg(parameter.maximum)
                              .arg(parameter.opening);
        if (!parameters.isEmpty())
            text += QStringLiteral(":") + parameters.join(QStringLiteral(","));
        text += QLatin1Char('\n');
    }
    return text;
}

int runBatchFilter(const QString& filter, const QString& output, const QStringList& inputs,
                   QTextStream& errors, int longEdge, QSize size) {
    // Messages name the option the job was asked with.
    const char* option = !filter.isEmpty() ? "--filter" : longEdge > 0 ? "--long-edge" : "--resize";
    if (output.isEmpty()) {
        errors << "lumora: " << option << " needs --output OUT\n";
        return 2;
    }
    if (inputs.size() != 1) {
        errors << "lumora: " << option << " needs exactly one input picture\n";
        return 2;
    }
    std::optional<Effect> effect;
    if (!filter.isEmpty() || (longEdge <= 0 && !size.isValid())) {
        const EffectParseResult parsed = parseEffect(filter);
        if (!parsed) {
            errors << "lumora: " << parsed.error << "\n";
            return 2;
        }
        effect = *parsed.effect;
    }
    try {
        // Each picture is let go as soon as the next one is made.
        QImage picture = loadPicture(inputs.first());
        if (longEdge > 0)
            picture = sizedForExport(picture, ExportSize::ofLongEdge(longEdge));
        else if (size.isValid())
            picture = resampledPicture(picture, size);
        if (picture.isNull())
            throw UserError(
                QStringLiteral("There is not enough memory to resize \"%1\".").arg(inputs.first()));
        if (effect)
            picture = bakeEffect(*effect, std::move(picture));
        savePicture(picture, output);
    } catch (const UserError& error) {
        errors << "lumora: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
