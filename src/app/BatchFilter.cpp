// SPDX-License-Identifier: MIT
#include "app/BatchFilter.h"

#include "base/UserError.h"
#include "effects/EffectCatalog.h"
#include "effects/EffectStream.h"
#include "pictures/PictureStream.h"
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
        // JPEG and TIFF stream in bands of rows through the filters that allow it; the rest take the whole
        // picture. The loaded picture goes straight into the filter, which lets it go once the result is
        // drawn.
        if (!streamPictureFile(inputs.first(), output, rowFilterFor(*parsed.effect)))
            savePicture(bakeEffect(*parsed.effect, loadPicture(inputs.first())), output);
    } catch (const UserError& error) {
        errors << "lumora: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
