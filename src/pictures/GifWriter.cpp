// SPDX-License-Identifier: MIT
#include "pictures/GifWriter.h"

#include "pictures/ColourQuantiser.h"

#include <gif_lib.h>

#include <QPainter>

#include <cstring>
#include <vector>

namespace {

int appendToBuffer(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

// Reduces the picture to an indexed one whose last used index (if any) is reserved for transparency.
QImage quantise(const QImage& image, bool* hasTransparency, int* transparentIndex) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    *hasTransparency = false;
    for (int y = 0; y < argb.height() && !*hasTransparency; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) < 128) {
                *hasTransparency = true;
                break;
            }
    }
    // Opaque colours are quantised from the picture flattened onto white, so half-transparent edges blend
    // the way a browser would show them on a light page.
    QImage opaque(argb.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, argb);
    }
    // One palette entry stays free for the transparent colour when the picture needs it.
    QImage indexed = quantised(opaque, *hasTransparency ? 255 : 256);
    *transparentIndex = -1;
    if (!*hasTransparency)
        return indexed;

    QList<QRgb> table = indexed.colorTable();
    *transparentIndex = int(table.size());
    table.append(qRgba(0, 0, 0, 0));
    indexed.setColorTable(table);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* target = indexed.scanLine(y);
        for (int x = 0; x < width; ++x)
            if (qAlpha(source[x]) < 128)
                target[x] = uchar(*transparentIndex);
    }
    return indexed;
}

} // namespace

QByteArray encodeGif(const QImage& image, QString* error) {
    bool hasTransparency = false;
    int transparentIndex = -1;
    const QImage indexed = quantise(image, &hasTransparency, &transparentIndex);
    const QList<QRgb> table = indexed.colorTable();

    int bits = 1;
    while ((1 << bits) < table.size())
        ++bits;
    const int paletteSize = 1 << bits;
    std::vector<GifColorType> colours(paletteSize, GifColorType{0, 0, 0});
    for (int i = 0; i < table.size(); ++i)
        colours[i] = GifColorType{GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])),
                                  GifByteType(qBlue(table[i]))};

    QByteArray out;
    int status = 0;
    GifFileType* gif = EGifOpen(&out, appendToBuffer, &status);
    auto fail = [&](int code) {
        if (error)
            *error = QString::fromLatin1(GifErrorString(code));
        if (gif)
            EGifCloseFile(gif, &status);
        return QByteArray();
    };
    if (!gif)
        return fail(status);
    EGifSetGifVersion(gif, true);

    ColorMapObject* map = GifMakeMapObject(paletteSize, colours.data());
    const int screen = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), bits, 0, map);
    GifFreeMapObject(map);
    if (screen == GIF_ERROR)
        return fail(gif->Error);

    if (hasTransparency) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = transparentIndex;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_ERROR)
            return fail(gif->Error);
    }
    if (EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_ERROR)
        return fail(gif->Error);
    std::vector<GifPixelType> row(indexed.width());
    for (int y = 0; y < indexed.height(); ++y) {
        std::memcpy(row.data(), indexed.constScanLine(y), row.size());
        if (EGifPutLine(gif, row.data(), int(row.size())) == GIF_ERROR)
            return fail(gif->Error);
    }
    if (EGifCloseFile(gif, &status) == GIF_ERROR) {
        gif = nullptr;
        return fail(status);
    }
    return out;
}
