// SPDX-License-Identifier: MIT
// Changing a picture's size by resampling: a separable Lanczos-3 filter whose support widens with the
// reduction, so that a smaller picture keeps no detail finer than its own pixels can hold (no aliasing), and
// an enlarged one is smooth. It works on premultiplied pixels, so transparent pixels lend no colour to their
// neighbours (no dark fringes at the edges of a transparent picture), in the picture's own sRGB values.
// Rows are shared out over all cores.
#pragma once

#include <QImage>

#include <memory>

// `picture` resampled to `size` (each side at least 1), as Format_ARGB32_Premultiplied; the picture itself
// when the size is its own. Null when there is no memory for the result. `threads` 0 uses every core.
QImage resampledPicture(const QImage& picture, QSize size, int threads = 0);

// The size a picture of `size` gets when its longer side becomes `longEdge` pixels (the proportions kept,
// each side at least 1).
QSize sizeForLongEdge(QSize size, int longEdge);
// `picture` reduced so that its longer side is `longEdge` pixels, as resampledPicture() reduces; the picture
// itself when its longer side is no longer than that (never enlarged). Throws std::bad_alloc when there is no
// memory for the result.
QImage reducedToLongEdge(const QImage& picture, int longEdge, int threads = 0);

// Resamples a picture that arrives row by row, top to bottom (a file being decoded), into a picture of
// another size: each result row is written as soon as the source rows it reads have come, so only a few
// filtered rows are held, never the whole source. The result is resampledPicture()'s, pixel for pixel.
class RowResampler {
public:
    // Resamples a source of `from` into `into`, a Format_ARGB32_Premultiplied picture of the wanted size
    // (each side at least 1), which must outlive the resampler.
    RowResampler(QSize from, QImage& into);
    ~RowResampler();
    RowResampler(const RowResampler&) = delete;
    RowResampler& operator=(const RowResampler&) = delete;
    // Takes the source's next `count` rows (premultiplied 32-bit pixels, `stride` bytes apart) and writes the
    // result rows they complete.
    void addRows(const uchar* rows, qsizetype stride, int count);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
