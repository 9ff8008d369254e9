// SPDX-License-Identifier: MIT
#include "cli/BatchFilter.h"

#include "base/UserError.h"
#include "cli/CommandLine.h"
#include "effects/EffectCatalog.h"
#include "effects/EffectStream.h"
#include "pictures/PictureStream.h"
#include "pictures/Pictures.h"
#include "pictures/Resampler.h"
#include "steps/EffectBaking.h"

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

namespace {

// The filter's stream as the picture stream asks for it.
class EffectRows : public RowFilter {
public:
    explicit EffectRows(std::unique_ptr<EffectStream> stream)
        : m_stream(std::move(stream)) {}
    bool inPlace() const override { return m_stream->inPlace(); }
    void filterInPlace(uint32_t* rows, qsizetype stride, int count) override {
        m_stream->filterInPlace(rows, stride, count);
    }
    int lag() const override { return m_stream->lag(); }
    int addRows(const uint32_t* rows, qsizetype stride, int count, uint32_t* out,
                qsizetype outStride) override {
        return m_stream->addRows(rows, stride, count, out, outStride);
    }

private:
    std::unique_ptr<EffectStream> m_stream;
};

} // namespace

RowFilterMaker rowFilterFor(const Effect& effect) {
    return [effect](QSize size) -> std::unique_ptr<RowFilter> {
        std::unique_ptr<EffectStream> stream = EffectStream::create(effect, size);
        if (!stream)
            return {};
        return std::make_unique<EffectRows>(std::move(stream));
    };
}

int runBatchFilter(const QString& filter, const QString& output, const QStringList& inputs,
                   QTextStream& errors, int longEdge, QSize size) {
    // Messages name the option the job was asked with; a mistake in the command carries the hint to the
    // help, as every other one does.
    const QString option = !filter.isEmpty() ? "--filter" : longEdge > 0 ? "--long-edge" : "--resize";
    const auto usageError = [&errors](const QString& message) {
        errors << usageErrorLine(message.endsWith('.') ? message : message + '.') << '\n';
        return int(exitUsageError);
    };
    if (output.isEmpty())
        return usageError(option + " needs --output OUT");
    if (inputs.size() != 1)
        return usageError(option + " needs exactly one input picture");
    std::optional<Effect> effect;
    if (!filter.isEmpty() || (longEdge <= 0 && !size.isValid())) {
        const EffectParseResult parsed = parseEffect(filter);
        if (!parsed)
            return usageError(parsed.error);
        effect = *parsed.effect;
    }
    try {
        // A filter alone on a JPEG or TIFF streams in bands of rows through the filters that allow it. A long
        // edge reads the picture reduced as it decodes (a JPEG's full size is never in memory), as the batch
        // does; a resize to a size, and the rest, take the whole picture, each picture let go as soon as the
        // next is made.
        if (longEdge <= 0 && !size.isValid() && effect &&
            streamPictureFile(inputs.first(), output, rowFilterFor(*effect)))
            return 0;
        QImage picture =
            longEdge > 0 ? loadPictureForLongEdge(inputs.first(), longEdge) : loadPicture(inputs.first());
        if (size.isValid())
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
