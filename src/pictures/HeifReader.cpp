// SPDX-License-Identifier: MIT
#include "pictures/HeifReader.h"

#include "pictures/Pictures.h"
#include "base/UserError.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>

#include <libheif/heif.h>

#include <cstring>
#include <memory>

namespace {

void initialiseOnce() {
    // Loads the decoder plug-ins; kept for the life of the program.
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
struct NclxFree {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};

[[noreturn]] void fail(const QString& path, const heif_error& error) {
    throw UserError(QStringLiteral("Cannot read the picture in \"%1\": %2")
                        .arg(QFileInfo(path).fileName(), QString::fromUtf8(error.message)));
}

QColorSpace::TransferFunction transferOf(heif_transfer_characteristics transfer, float* gamma) {
    switch (transfer) {
    case heif_transfer_characteristic_linear:
        return QColorSpace::TransferFunction::Linear;
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
        *gamma = 2.2f;
        return QColorSpace::TransferFunction::Gamma;
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
        *gamma = 2.8f;
        return QColorSpace::TransferFunction::Gamma;
    default:
        // sRGB itself, and the video curves (BT.709, BT.601, BT.2020) that differ from it only in the
        // darkest tones.
        return QColorSpace::TransferFunction::SRgb;
    }
}

// The colour space the file names: an ICC profile where it has one, otherwise its primaries and curve.
QColorSpace colourSpaceOf(const heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        QByteArray icc(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), Qt::Uninitialized);
        if (!icc.isEmpty() &&
            heif_image_handle_get_raw_color_profile(handle, icc.data()).code == heif_error_Ok)
            return QColorSpace::fromIccProfile(icc);
        return {};
    }
    heif_color_profile_nclx* raw = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &raw).code != heif_error_Ok || !raw)
        return {};
    const std::unique_ptr<heif_color_profile_nclx, NclxFree> nclx(raw);
    if (nclx->color_primaries == heif_color_primaries_unspecified)
        return {};
    float gamma = 0;
    const QColorSpace::TransferFunction transfer = transferOf(nclx->transfer_characteristics, &gamma);
    if (nclx->color_primaries == heif_color_primaries_ITU_R_BT_709_5 &&
        transfer == QColorSpace::TransferFunction::SRgb)
        return QColorSpace::SRgb;
    return QColorSpace(QPointF(nclx->color_primary_white_x, nclx->color_primary_white_y),
                       QPointF(nclx->color_primary_red_x, nclx->color_primary_red_y),
                       QPointF(nclx->color_primary_green_x, nclx->color_primary_green_y),
                       QPointF(nclx->color_primary_blue_x, nclx->color_primary_blue_y), transfer, gamma);
}

} // namespace

bool heifCanRead(const QString& suffix) {
    initialiseOnce();
    const QString lower = suffix.toLower();
    if (lower == QLatin1String("heic") || lower == QLatin1String("heif"))
        return heif_have_decoder_for_format(heif_compression_HEVC);
    if (lower == QLatin1String("avif"))
        return heif_have_decoder_for_format(heif_compression_AV1);
    return false;
}

QImage readHeif(const QString& path) {
    initialiseOnce();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();

    const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), bytes.constData(),
                                                                  size_t(bytes.size()), nullptr);
    if (error.code != heif_error_Ok)
        fail(path, error);
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    if (error.code != heif_error_Ok)
        fail(path, error);
    const std::unique_ptr<heif_image_handle, HandleFree> handle(rawHandle);
    // Refused before decoding: the decoder would first make a full copy of its own.
    const qint64 claimed =
        qint64(heif_image_handle_get_width(handle.get())) * heif_image_handle_get_height(handle.get());
    if (claimed > maximumPicturePixels)
        throw UserError(
            QStringLiteral("Cannot open \"%1\": the picture is %2 × %3 pixels; Lumora opens pictures "
                           "of up to %4 megapixels.")
                .arg(QFileInfo(path).fileName())
                .arg(heif_image_handle_get_width(handle.get()))
                .arg(heif_image_handle_get_height(handle.get()))
                .arg(maximumPicturePixels / 1000000));

    const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    options->ignore_transformations = 0; // rotation, mirroring and crop make the picture upright
    options->convert_hdr_to_8bit = 1;
    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                              options.get());
    if (error.code != heif_error_Ok)
        fail(path, error);
    const std::unique_ptr<heif_image, ImageFree> decoded(rawImage);

    const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    if (!pixels || width <= 0 || height <= 0)
        fail(path,
             heif_error{heif_error_Decoder_plugin_error, heif_suberror_Unspecified, "no picture decoded"});

    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(handle.get());
    QImage image(width, height,
                 premultiplied ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888);
    if (image.isNull())
        throw UserError(QStringLiteral("There is not enough memory to open \"%1\" (%2 x %3 pixels).")
                            .arg(QFileInfo(path).fileName())
                            .arg(width)
                            .arg(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels + qsizetype(y) * stride, size_t(width) * 4);
    const QColorSpace space = colourSpaceOf(handle.get());
    if (space.isValid())
        image.setColorSpace(space);
    return image;
}
