// SPDX-License-Identifier: MIT
#include "app/BatchFilter.h"

#include "base/UserError.h"
#include "effects/EffectCatalog.h"
#include "pictures/Pictures.h"
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
                   QTextStream& errors) {
    if (output.isEmpty()) {
        errors << "lumora: --filter needs --output OUT\n";
        return 2;
    }
    if (inputs.size() != 1) {
        errors << "lumora: --filter needs exactly one input picture\n";
        return 2;
    }
    const EffectParseResult parsed = parseEffect(filter);
    if (!parsed) {
        errors << "lumora: " << parsed.error << "\n";
        return 2;
    }
    try {
        // The loaded picture goes straight into the filter, which lets it go once the result is drawn.
        savePicture(bakeEffect(*parsed.effect, loadPicture(inputs.first())), output);
    } catch (const UserError& error) {
        errors << "lumora: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
