// SPDX-License-Identifier: MIT
#include "platform/ColourQuantiser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

// Colours are counted at 5 bits per channel: 32768 cells, fine enough for a 256-colour palette.
constexpr int cellBits = 5;
constexpr int cellsPerChannel = 1 << cellBits;
constexpr int cellCount = cellsPerChannel * cellsPerChannel * cellsPerChannel;

int cellOf(int r, int g, int b) {
    return (r >> (8 - cellBits)) << (2 * cellBits) | (g >> (8 - cellBits)) << cellBits |
           (b >> (8 - cellBits));
}

struct Cell {
    uint32_t count = 0;
    uint64_t sum[3] = {0, 0, 0};
    uint64_t squares = 0; // the sum of r² + g² + b²
};

// A box of cells along the three channels, cut in two along its longest side at the median.
struct Box {
    int low[3];
    int high[3]; // inclusive
    uint64_t population = 0;
    double error = 0; // how far its colours lie from their mean, summed over them
};

uint64_t populationOf(const std::vector<Cell>& cells, const Box& box) {
    uint64_t total = 0;
    for (int r = box.low[0]; r <= box.high[0]; ++r)
        for (int g = box.low[1]; g <= box.high[1]; ++g)
            for (int b = box.low[2]; b <= box.high[2]; ++b)
                total += cells[(r << (2 * cellBits)) | (g << cellBits) | b].count;
    return total;
}

// The squared distance of the box's colours from their mean: the box that loses most by being one colour
// is split next, so a small patch of a distinct colour still gets its own entry.
double errorOf(const std::vector<Cell>& cells, const Box& box) {
    double count = 0, squares = 0, sum[3] = {0, 0, 0};
    for (int r = box.low[0]; r <= box.high[0]; ++r)
        for (int g = box.low[1]; g <= box.high[1]; ++g)
            for (int b = box.low[2]; b <= box.high[2]; ++b) {
                const Cell& cell = cells[(r << (2 * cellBits)) | (g << cellBits) | b];
                count += cell.count;
                squares += double(cell.squares);
                for (int c = 0; c < 3; ++c)
                    sum[c] += double(cell.sum[c]);
            }
    if (count == 0)
        return 0;
    return squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / count;
}

// Shrinks the box to the cells that hold colours.
void shrink(const std::vector<Cell>& cells, Box& box) {
    int low[3] = {cellsPerChannel, cellsPerChannel, cellsPerChannel};
    int high[3] = {-1, -1, -1};
    for (int r = box.low[0]; r <= box.high[0]; ++r)
        for (int g = box.low[1]; g <= box.high[1]; ++g)
            for (int b = box.low[2]; b <= box.high[2]; ++b)
                if (cells[(r << (2 * cellBits)) | (g << cellBits) | b].count) {
                    const int at[3] = {r, g, b};
                    for (int c = 0; c < 3; ++c) {
                        low[c] = std::min(low[c], at[c]);
                        high[c] = std::max(high[c], at[c]);
                    }
                }
    if (high[0] >= 0)
        for (int c = 0; c < 3; ++c) {
            box.low[c] = low[c];
            box.high[c] = high[c];
        }
    box.population = populationOf(cells, box);
    box.error = errorOf(cells, box);
}

bool split(const std::vector<Cell>& cells, const Box& box, Box& first, Box& second) {
    int axis = 0;
    for (int c = 1; c < 3; ++c)
        if (box.high[c] - box.low[c] > box.high[axis] - box.low[axis])
            axis = c;
    if (box.high[axis] == box.low[axis])
        return false;
    // Walk the slices along the axis until half the population is behind.
    uint64_t behind = 0;
    int cut = box.low[axis];
    for (; cut < box.high[axis]; ++cut) {
        Box slice = box;
        slice.low[axis] = slice.high[axis] = cut;
        behind += populationOf(cells, slice);
        if (behind * 2 >= box.population)
            break;
    }
    cut = std::min(cut, box.high[axis] - 1); // both halves keep at least one slice
    first = box;
    second = box;
    first.high[axis] = cut;
    second.low[axis] = cut + 1;
    shrink(cells, first);
    shrink(cells, second);
    return first.population && second.population;
}

QRgb meanColour(const std::vector<Cell>& cells, const Box& box) {
    uint64_t sum[3] = {0, 0, 0};
    uint64_t count = 0;
    for (int r = box.low[0]; r <= box.high[0]; ++r)
        for (int g = box.low[1]; g <= box.high[1]; ++g)
            for (int b = box.low[2]; b <= box.high[2]; ++b) {
                const Cell& cell = cells[(r << (2 * cellBits)) | (g << cellBits) | b];
                count += cell.count;
                for (int c = 0; c < 3; ++c)
                    sum[c] += cell.sum[c];
            }
    if (!count)
        return qRgb(0, 0, 0);
    return qRgb(int((sum[0] + count / 2) / count), int((sum[1] + count / 2) / count),
                int((sum[2] + count / 2) / count));
}

QList<QRgb> medianCutPalette(const QImage& rgb, int maxColours) {
    std::vector<Cell> cells(cellCount);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            Cell& cell = cells[cellOf(r, g, b)];
            ++cell.count;
            cell.sum[0] += r;
            cell.sum[1] += g;
            cell.sum[2] += b;
            cell.squares += uint64_t(r * r + g * g + b * b);
        }
    }
    Box all{{0, 0, 0}, {cellsPerChannel - 1, cellsPerChannel - 1, cellsPerChannel - 1}};
    shrink(cells, all);
    std::vector<Box> boxes{all};
    std::vector<bool> splittable{true};
    while (int(boxes.size()) < maxColours) {
        int chosen = -1;
        for (int i = 0; i < int(boxes.size()); ++i)
            if (splittable[i] && (chosen < 0 || boxes[i].error > boxes[chosen].error))
                chosen = i;
        if (chosen < 0)
            break;
        Box first{}, second{};
        if (!split(cells, boxes[chosen], first, second)) {
            splittable[chosen] = false;
            continue;
        }
        boxes[chosen] = first;
        boxes.push_back(second);
        splittable.push_back(true);
    }
    QList<QRgb> palette;
    for (const Box& box : boxes)
        palette << meanColour(cells, box);
    return palette;
}

int nearest(const QList<QRgb>& palette, int r, int g, int b) {
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
        const int distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db; // eyes weigh green most
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// A picture with few enough colours keeps them exactly; returns a null picture otherwise.
QImage withOwnColours(const QImage& rgb, int maxColours) {
    std::unordered_map<QRgb, uchar> indices;
    QImage result(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = result.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = line[x] | 0xff000000;
            auto found = indices.find(colour);
            if (found == indices.end()) {
                if (int(palette.size()) == maxColours)
                    return {};
                found = indices.emplace(colour, uchar(palette.size())).first;
                palette << colour;
            }
            out[x] = found->second;
        }
    }
    result.setColorTable(palette);
    return result;
}

} // namespace

QImage quantised(const QImage& picture, int maxColours) {
    maxColours = std::clamp(maxColours, 1, 256);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (QImage exact = withOwnColours(rgb, maxColours); !exact.isNull())
        return exact;
    const QList<QRgb> palette = medianCutPalette(rgb, maxColours);
    QImage result(rgb.size(), QImage::Format_Indexed8);
    result.setColorTable(palette);

    // Nearest palette entry per 5-bit cell, looked up lazily.
    std::vector<int16_t> lookup(cellCount, -1);
    auto indexFor = [&](int r, int g, int b) {
        int16_t& entry = lookup[cellOf(r, g, b)];
        if (entry < 0)
            entry = int16_t(nearest(palette, r, g, b));
        return entry;
    };

    // Floyd–Steinberg, serpentine, with the error of the row below carried in a small buffer.
    const int width = rgb.width();
    std::vector<std::array<int, 3>> current(width + 2), next(width + 2);
    for (int y = 0; y < rgb.height(); ++y) {
        std::fill(next.begin(), next.end(), std::array<int, 3>{0, 0, 0});
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = result.scanLine(y);
        const bool forward = y % 2 == 0;
        for (int step = 0; step < width; ++step) {
            const int x = forward ? step : width - 1 - step;
            const int direction = forward ? 1 : -1;
            const std::array<int, 3>& error = current[x + 1];
            const int wanted[3] = {std::clamp(qRed(line[x]) + error[0] / 16, 0, 255),
                                   std::clamp(qGreen(line[x]) + error[1] / 16, 0, 255),
                                   std::clamp(qBlue(line[x]) + error[2] / 16, 0, 255)};
            const int index = indexFor(wanted[0], wanted[1], wanted[2]);
            out[x] = uchar(index);
            const int got[3] = {qRed(palette[index]), qGreen(palette[index]), qBlue(palette[index])};
            for (int c = 0; c < 3; ++c) {
                const int e = wanted[c] - got[c];
                current[x + 1 + direction][c] += e * 7;
                next[x + 1 - direction][c] += e * 3;
                next[x + 1][c] += e * 5;
                next[x + 1 + direction][c] += e;
            }
        }
        std::swap(current, next);
    }
    return result;
}
