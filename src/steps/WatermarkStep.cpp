// SPDX-License-Identifier: MIT
#include "steps/WatermarkStep.h"

#include "base/TextFields.h"
#include "base/UserError.h"
#include "pictures/PhotoFields.h"
#include "steps/RecipeValues.h"
#include "steps/Text2DStep.h"

#include <QBuffer>
#include <QImageReader>
#include <QJsonDocument>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>
#include <optional>

namespace {

using Mark = WatermarkSettings::Mark;
using Layout = WatermarkSettings::Layout;

// The lengths of a style for a text 100 pixels tall, for one `pixelSize` tall.
TextStyle scaledStyle(TextStyle style, double pixelSize) {
    const double scale = pixelSize / 100;
    style.outlineWidth *= scale;
    style.shadowOffset *= scale;
    style.shadowSoftness *= scale;
    style.shadowSpread *= scale;
    style.glowRadius *= scale;
    return style;
}

QImage textMark(const WatermarkSettings& settings, double shortSide) {
    const QString text = WatermarkStep::filledText(settings);
    const int pixelSize = std::max(1, int(std::lround(settings.size * shortSide)));
    // A font made of what the step keeps, nothing else: the font the window held and the one read from the
    // recipe then draw the very same outlines.
    QFont font(Text2DStep::faceFor(settings.font.family()));
    font.setPixelSize(pixelSize);
    font.setWeight(settings.font.weight());
    font.setItalic(settings.font.italic());
    const TextStyle style = scaledStyle(settings.style, pixelSize);
    // Lines are never wrapped: the box is wider than any mark.
    const StyledTextLayout layout = layOutStyledText(text, font, Qt::AlignHCenter, QSizeF(1e6, 0), style);
    return drawStyledText(layout, settings.colour, style).picture;
}

// White (and the white mixed into a logo's soft edges) made see-through: each pixel keeps the least
// opacity that gives its colour over white.
void makeWhiteTransparent(QImage& picture) {
    picture.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = line[x];
            const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
            const int room = 255 - std::min({r, g, b}); // how far from white, 0 … 255
            if (room == 0) {
                line[x] = 0;
                continue;
            }
            const auto channel = [room](int value) {
                return std::clamp(255 - (255 - value) * 255 / room, 0, 255);
            };
            line[x] = qRgba(channel(r), channel(g), channel(b), qAlpha(pixel) * room / 255);
        }
    }
}

QImage logoMark(const WatermarkSettings& settings, double shortSide) {
    if (!settings.logo)
        return {};
    const double longSide = std::max(1.0, settings.size * shortSide);
    const QString suffix = settings.logo->suffix().toLower();
    QImage logo;
    if (!settings.logo->fileBytes().isEmpty() && (suffix == u"svg" || suffix == u"svgz")) {
        // A drawing is drawn at the size it is shown, never scaled as pixels.
        QByteArray bytes = settings.logo->fileBytes();
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, suffix.toLatin1());
        const QSizeF own = reader.size().isEmpty() ? QSizeF(1, 1) : QSizeF(reader.size());
        const double scale = longSide / std::max(own.width(), own.height());
        reader.setScaledSize(QSize(std::max(1, int(std::lround(own.width() * scale))),
                                   std::max(1, int(std::lround(own.height() * scale)))));
        logo = reader.read();
        if (logo.isNull())
            throw UserError(QStringLiteral("The logo \"%1\" cannot be read.").arg(settings.logo->name()));
    } else {
        logo = settings.logo->picture();
        if (logo.isNull())
            return {};
        const double scale = longSide / std::max(logo.width(), logo.height());
        logo = logo.scaled(std::max(1, int(std::lround(logo.width() * scale))),
                           std::max(1, int(std::lround(logo.height() * scale))), Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
    }
    if (settings.whiteTransparent)
        makeWhiteTransparent(logo);
    return logo.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The part of `mark` that shows anything: the gaps between marks are then the spacing, not the spacing and
// the room a style keeps round its letters or a logo's clear border.
QImage trimmed(const QImage& mark) {
    int top = mark.height(), bottom = -1, left = mark.width(), right = -1;
    for (int y = 0; y < mark.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(mark.constScanLine(y));
        for (int x = 0; x < mark.width(); ++x)
            if (line[x] >> 24) {
                top = std::min(top, y), bottom = y;
                left = std::min(left, x), right = std::max(right, x);
            }
    }
    if (bottom < 0)
        return {};
    return mark.copy(left, top, right - left + 1, bottom - top + 1);
}

// The mark at `opacity` (premultiplied: every channel scaled).
QImage withOpacity(QImage mark, double opacity) {
    mark.convertTo(QImage::Format_ARGB32_Premultiplied);
    const int scale = std::clamp(int(std::lround(opacity * 256)), 0, 256);
    if (scale < 256)
        for (int y = 0; y < mark.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(mark.scanLine(y));
            for (int x = 0; x < mark.width(); ++x) {
                const quint32 pixel = line[x];
                line[x] = (((pixel & 0x00ff00ff) * scale >> 8) & 0x00ff00ff) |
                          (((pixel >> 8 & 0x00ff00ff) * scale) & 0xff00ff00);
            }
        }
    return mark;
}

QImage turned(QImage mark, double angle) {
    if (angle != 0)
        mark = mark.transformed(QTransform().rotate(-angle), Qt::SmoothTransformation);
    if (mark.isNull())
        throw std::bad_alloc();
    return mark.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A mark drawn, turned, and its size before it was turned.
struct DrawnMark {
    QImage mark;
    QSizeF unturnedSize;
};

// The marks drawn lately, by what they were drawn from. The same settings on pictures of the same short side
// then give the very same pixels (Qt may shape the same text a fraction of a pixel apart from one drawing to
// the next, after other text was drawn), and a batch of photos of one size draws its mark once.
class DrawnMarks {
public:
    std::optional<DrawnMark> find(const QByteArray& key) {
        const std::lock_guard lock(m_mutex);
        for (qsizetype i = 0; i < m_marks.size(); ++i)
            if (m_marks[i].first == key) {
                m_marks.move(i, 0);
                return m_marks.first().second;
            }
        return std::nullopt;
    }
    void add(const QByteArray& key, const DrawnMark& drawn) {
        const std::lock_guard lock(m_mutex);
        m_marks.prepend({key, drawn});
        m_bytes += drawn.mark.sizeInBytes();
        while (m_marks.size() > 1 && m_bytes > limit) {
            m_bytes -= m_marks.constLast().second.mark.sizeInBytes();
            m_marks.removeLast();
        }
    }

private:
    static constexpr qint64 limit = 48 << 20;
    std::mutex m_mutex;
    QList<std::pair<QByteArray, DrawnMark>> m_marks;
    qint64 m_bytes = 0;
};

DrawnMarks& drawnMarks() {
    static DrawnMarks marks;
    return marks;
}

// Everything a mark is drawn from: its settings as the recipe keeps them (the text with its fields filled,
// the logo by its content), and the picture's short side.
QByteArray markKey(const WatermarkSettings& settings, double shortSide) {
    WatermarkSettings drawn = settings;
    drawn.text = WatermarkStep::filledText(settings);
    drawn.fields.clear();
    drawn.view = {};
    drawn.logo.reset();
    QByteArray key = QJsonDocument(WatermarkStep::write(drawn).settings).toJson(QJsonDocument::Compact);
    key += ' ' + QByteArray::number(shortSide);
    if (settings.mark == WatermarkSettings::Mark::Logo && settings.logo) {
        const QByteArray& bytes = settings.logo->fileBytes();
        key += bytes.isEmpty()
                   ? " picture " + QByteArray::number(settings.logo->picture().cacheKey())
                   : " file " + QByteArray::number(qHash(bytes)) + ' ' + QByteArray::number(bytes.size());
    }
    return key;
}

// `pixel` times `alpha` / 255 on all four channels at once, rounded (premultiplied pixels).
inline quint32 timesAlpha(quint32 pixel, quint32 alpha) {
    quint32 redBlue = (pixel & 0x00ff00ff) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0x00ff00ff) + 0x00800080) >> 8) & 0x00ff00ff;
    quint32 alphaGreen = ((pixel >> 8) & 0x00ff00ff) * alpha;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0x00ff00ff) + 0x00800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

} // namespace

QString WatermarkStep::tool() {
    return QStringLiteral("watermark");
}

QString WatermarkStep::filledText(const Settings& settings) {
    return text_fields::filled(settings.text, [&settings](const QString& name) -> std::optional<QString> {
        if (const auto found = settings.fields.find(name); found != settings.fields.end())
            return *found;
        if (PhotoFields::isField(name))
            return QString(); // never the braces: a field the picture gave nothing for is empty
        return std::nullopt;
    });
}

WatermarkSettings WatermarkStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    const QJsonObject& json = recipe.settings;
    const Settings plain;
    Settings settings;
    settings.mark = json["mark"].toString() == u"logo" ? Mark::Logo : Mark::Text;
    settings.text = json["text"].toString(plain.text);
    settings.font = toFont(json["font"], plain.font);
    settings.face = json["face"].toString(settings.font.family());
    settings.colour = toColour(json["colour"], plain.colour);
    settings.style = styleFromJson(json["style"].toObject());
    if (const int index = json["logo"].toInt(-1); index >= 0) {
        recipe.resource(index); // throws when the recipe has no such picture
        settings.logo = recipe.resources.at(index);
    }
    settings.whiteTransparent = json["whiteTransparent"].toBool(false);
    settings.layout = json["layout"].toString() == u"tiled" ? Layout::Tiled : Layout::Once;
    settings.anchor = toChoice(json["anchor"], 0, 8, plain.anchor);
    settings.margin = std::clamp(toNumber(json["margin"], plain.margin), 0.0, 1.0);
    settings.size = std::clamp(toNumber(json["size"], plain.size), 0.001, 2.0);
    settings.spacingAcross = std::clamp(toNumber(json["spacingAcross"], plain.spacingAcross), 0.0, 2.0);
    settings.spacingDown = std::clamp(toNumber(json["spacingDown"], plain.spacingDown), 0.0, 2.0);
    settings.angle = std::clamp(toNumber(json["angle"], plain.angle), -90.0, 90.0);
    settings.shiftRows = json["shiftRows"].toBool(plain.shiftRows);
    settings.opacity = std::clamp(toNumber(json["opacity"], plain.opacity), 0.0, 1.0);
    const QJsonObject fields = json["fields"].toObject();
    for (auto field = fields.begin(); field != fields.end(); ++field)
        settings.fields.insert(field.key(), field.value().toString());
    settings.view = json["view"].toObject();
    return settings;
}

StepRecipe WatermarkStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    QJsonObject& json = recipe.settings;
    json.insert("mark", settings.mark == Mark::Logo ? "logo" : "text");
    json.insert("text", settings.text);
    json.insert("font", fromFont(settings.font));
    json.insert("face", Text2DStep::faceFor(settings.font.family()));
    json.insert("colour", fromColour(settings.colour));
    json.insert("style", styleToJson(settings.style));
    if (settings.logo)
        json.insert("logo", recipe.addResource(settings.logo));
    json.insert("whiteTransparent", settings.whiteTransparent);
    json.insert("layout", settings.layout == Layout::Tiled ? "tiled" : "once");
    json.insert("anchor", settings.anchor);
    json.insert("margin", settings.margin);
    json.insert("size", settings.size);
    json.insert("spacingAcross", settings.spacingAcross);
    json.insert("spacingDown", settings.spacingDown);
    json.insert("angle", settings.angle);
    json.insert("shiftRows", settings.shiftRows);
    json.insert("opacity", settings.opacity);
    QJsonObject fields;
    for (auto field = settings.fields.begin(); field != settings.fields.end(); ++field)
        fields.insert(field.key(), field.value());
    json.insert("fields", fields);
    json.insert("view", settings.view);
    return recipe;
}

void WatermarkStep::fillFields(Settings& settings, const PhotoFields& photo) {
    settings.fields.clear();
    if (settings.mark != Mark::Text)
        return;
    for (const QString& name : text_fields::namesIn(settings.text))
        if (const std::optional<QString> value = photo.value(name))
            settings.fields.insert(name, *value);
}

QStringList WatermarkStep::warnings(const Settings& settings) {
    if (settings.mark != Mark::Text)
        return {};
    // As for 2D text: the face it was drawn with where it was made, against the one this computer uses.
    const QString& recorded = settings.face;
    const QString here = Text2DStep::faceFor(settings.font.family());
    if (settings.font.family().isEmpty() || recorded.isEmpty() ||
        here.compare(recorded, Qt::CaseInsensitive) == 0)
        return {};
    return {QStringLiteral("The font \"%1\" is not on this computer; \"%2\" is used instead.")
                .arg(recorded, here)};
}

PictureState WatermarkStep::replay(PictureState before, const Settings& settings) {
    QImage picture = std::move(before.picture);
    if (picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    const WatermarkPattern pattern = WatermarkPattern::of(settings, picture.size());
    pattern.stamp(picture);
    return {std::move(picture), before.controlSize};
}

WatermarkPattern WatermarkPattern::of(const WatermarkSettings& settings, QSize pictureSize) {
    WatermarkPattern pattern;
    pattern.pictureSize = pictureSize;
    if (pictureSize.isEmpty() || settings.opacity <= 0)
        return pattern;
    const double shortSide = std::min(pictureSize.width(), pictureSize.height());
    const QByteArray key = markKey(settings, shortSide);
    std::optional<DrawnMark> drawn = drawnMarks().find(key);
    if (!drawn) {
        const QImage unturned =
            settings.mark == Mark::Text ? textMark(settings, shortSide) : logoMark(settings, shortSide);
        QImage mark = unturned.isNull() ? QImage() : trimmed(withOpacity(unturned, settings.opacity));
        const QSizeF unturnedSize(mark.size());
        drawn = DrawnMark{mark.isNull() ? QImage() : turned(std::move(mark), settings.angle), unturnedSize};
        drawnMarks().add(key, *drawn);
    }
    if (drawn->mark.isNull())
        return pattern;
    const QSizeF markSize = drawn->unturnedSize;
    pattern.mark = drawn->mark;
    const QSizeF turnedSize(pattern.mark.size());
    const QPointF half(turnedSize.width() / 2, turnedSize.height() / 2);
    const auto cornerFor = [&](QPointF centre) {
        return QPoint(int(std::floor(centre.x() - half.x() + 0.5)),
                      int(std::floor(centre.y() - half.y() + 0.5)));
    };

    if (settings.layout == Layout::Once) {
        const double margin = settings.margin * shortSide;
        const int column = settings.anchor % 3, row = settings.anchor / 3;
        const auto along = [margin](int place, double room, double length) {
            return place == 0 ? margin : place == 1 ? (room - length) / 2 : room - margin - length;
        };
        pattern.corners << cornerFor(QPointF(along(column, pictureSize.width(), turnedSize.width()),
                                             along(row, pictureSize.height(), turnedSize.height())) +
                                     half);
        return pattern;
    }

    // Tiled: a lattice of marks turned with them, about the picture's centre. Each row holds marks a mark's
    // width and a gap apart; rows lie a mark's height and a gap apart, every other one moved by half a step.
    const double stepAcross = markSize.width() + settings.spacingAcross * shortSide;
    const double stepDown = markSize.height() + settings.spacingDown * shortSide;
    const double radians = -settings.angle * M_PI / 180;
    const QPointF across(std::cos(radians) * stepAcross, std::sin(radians) * stepAcross);
    const QPointF down(-std::sin(radians) * stepDown, std::cos(radians) * stepDown);
    const QPointF centre(pictureSize.width() / 2.0, pictureSize.height() / 2.0);
    // The rows and columns that reach the picture: its corners in lattice units, widened by a mark.
    double lowRow = 0, highRow = 0, lowColumn = 0, highColumn = 0;
    for (const QPointF corner :
         {QPointF(0, 0), QPointF(pictureSize.width(), 0), QPointF(0, pictureSize.height()),
          QPointF(pictureSize.width(), pictureSize.height())}) {
        const QPointF d = corner - centre;
        const double column = (d.x() * std::cos(radians) + d.y() * std::sin(radians)) / stepAcross;
        const double row = (-d.x() * std::sin(radians) + d.y() * std::cos(radians)) / stepDown;
        lowRow = std::min(lowRow, row), highRow = std::max(highRow, row);
        lowColumn = std::min(lowColumn, column), highColumn = std::max(highColumn, column);
    }
    const double reach = std::hypot(turnedSize.width(), turnedSize.height()) / 2;
    const int rowPad = int(std::ceil(reach / stepDown)) + 1,
              columnPad = int(std::ceil(reach / stepAcross)) + 1;
    const QRect picture(QPoint(0, 0), pictureSize);
    for (int row = int(std::floor(lowRow)) - rowPad; row <= int(std::ceil(highRow)) + rowPad; ++row) {
        const double shift = settings.shiftRows && (row & 1) ? 0.5 : 0;
        for (int column = int(std::floor(lowColumn)) - columnPad;
             column <= int(std::ceil(highColumn)) + columnPad; ++column) {
            // Rounded as an offset from the picture's middle pixel, so that the same mark falls on the same
            // pixels whatever the picture's size (a picture's long side does not change where marks lie).
            const QPointF offset = across * (column + shift) + down * row - half;
            const QPoint corner(pictureSize.width() / 2 +
                                    int(std::floor(offset.x() + 0.5 * (1 + pictureSize.width() % 2))),
                                pictureSize.height() / 2 +
                                    int(std::floor(offset.y() + 0.5 * (1 + pictureSize.height() % 2))));
            if (QRect(corner, pattern.mark.size()).intersects(picture))
                pattern.corners << corner;
        }
    }
    return pattern;
}

void WatermarkPattern::stamp(QImage& band, int firstRow) const {
    if (mark.isNull() || corners.isEmpty())
        return;
    // Per row of the mark, the columns that hold anything: a turned text is mostly empty.
    const int markWidth = mark.width(), markHeight = mark.height();
    QList<QPair<int, int>> spans(markHeight, {markWidth, 0});
    for (int y = 0; y < markHeight; ++y) {
        const auto* line = reinterpret_cast<const quint32*>(mark.constScanLine(y));
        int first = 0, last = markWidth;
        while (first < last && line[first] == 0)
            ++first;
        while (last > first && line[last - 1] == 0)
            --last;
        spans[y] = {first, last};
    }
    const int bandTop = firstRow, bandBottom = firstRow + band.height(), width = band.width();
    for (const QPoint& corner : corners) {
        const int top = std::max(corner.y(), bandTop), bottom = std::min(corner.y() + markHeight, bandBottom);
        for (int y = top; y < bottom; ++y) {
            const int markRow = y - corner.y();
            const int from = std::max(corner.x() + spans[markRow].first, 0);
            const int to = std::min(corner.x() + spans[markRow].second, width);
            if (from >= to)
                continue;
            const auto* source = reinterpret_cast<const quint32*>(mark.constScanLine(markRow));
            auto* target = reinterpret_cast<quint32*>(band.scanLine(y - firstRow));
            for (int x = from; x < to; ++x) {
                const quint32 over = source[x - corner.x()];
                const quint32 alpha = over >> 24;
                if (alpha == 255)
                    target[x] = over;
                else if (over != 0)
                    target[x] = over + timesAlpha(target[x], 255 - alpha);
            }
        }
    }
}
