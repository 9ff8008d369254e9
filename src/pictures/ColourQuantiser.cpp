// SPDX-License-Identifier: MIT
// The palette starts as a median cut of the picture's colours, counted at 6 bits a channel; a few rounds of
// k-means then move every entry to the mean of the colours nearest to it (the cut's boxes are rough, and the
// rounds lower the error by a sixth). A picture of at most 32768 colours is cut from its exact colours. The
// picture is mapped with serpentine Floyd–Steinberg error diffusion onto the truly nearest entries.
//
// The diffusion is weakened where the picture itself is busy (an edge, grain, foliage): there a pixel's own
// neighbours already break up any banding, and diffused error only adds noise. Smooth areas, where banding
// would show, get the full diffusion. Bands of rows are mapped on all cores, each starting with no error.

#include "pictures/ColourQuantiser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

using Colour = std::array<float, 3>;

// ----- Counting the colours ------------------------------------------------------------------------------

constexpr int cellBits = 6;
constexpr int cellCount = 1 << (3 * cellBits);

struct Sample {
    Colour colour;
    float weight;
};

using ColourCounts = std::unordered_map<QRgb, uint32_t>;

// The picture's distinct colours and how many pixels have each; empty when there are more than `limit`.
ColourCounts distinctColours(const QImage& rgb, size_t limit) {
    ColourCounts counts;
    const int width = rgb.width();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (++counts[line[x] | 0xff000000] == 1 && counts.size() > limit)
                return {};
    }
    return counts;
}

std::vector<Sample> samplesOf(const ColourCounts& counts) {
    std::vector<Sample> samples;
    for (const auto& [colour, count] : counts)
        samples.push_back({{float(qRed(colour)), float(qGreen(colour)), float(qBlue(colour))}, float(count)});
    return samples;
}

// The picture's colours at 6 bits a channel: how many pixels each cell holds and their mean colour.
std::vector<Sample> samplesOf(const QImage& rgb) {
    std::vector<uint32_t> count(cellCount);
    std::vector<std::array<uint64_t, 3>> sum(cellCount);
    const int width = rgb.width();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            const int cell = (r >> 2) << 12 | (g >> 2) << 6 | (b >> 2);
            ++count[cell];
            sum[cell][0] += r;
            sum[cell][1] += g;
            sum[cell][2] += b;
        }
    }
    std::vector<Sample> samples;
    for (int cell = 0; cell < cellCount; ++cell)
        if (const uint32_t n = count[cell])
            samples.push_back({{float(double(sum[cell][0]) / n), float(double(sum[cell][1]) / n),
                                float(double(sum[cell][2]) / n)},
                               float(n)});
    return samples;
}

// ----- Median cut ----------------------------------------------------------------------------------------
//
// The box whose colours lie furthest from their mean (summed squares) is cut next, in two halves of equal
// population along its widest channel, so a small patch of a distinct colour still gets its own entry.

struct Box {
    std::vector<int> members; // indices of samples
    float spread[3] = {0, 0, 0};
    double population = 0;
    double error = 0;
    Colour mean{};
};

void measure(const std::vector<Sample>& samples, Box& box) {
    float low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    double n = 0, sum[3] = {0, 0, 0}, squares = 0;
    for (int i : box.members) {
        const Sample& sample = samples[i];
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], sample.colour[c]);
            high[c] = std::max(high[c], sample.colour[c]);
            sum[c] += double(sample.colour[c]) * sample.weight;
            squares += double(sample.colour[c]) * sample.colour[c] * sample.weight;
        }
        n += sample.weight;
    }
    for (int c = 0; c < 3; ++c) {
        box.spread[c] = high[c] - low[c];
        box.mean[c] = n ? float(sum[c] / n) : 0.f;
    }
    box.population = n;
    box.error = n ? squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / n : 0;
}

std::vector<Colour> medianCut(const std::vector<Sample>& samples, int maxColours) {
    std::vector<Box> boxes(1);
    boxes[0].members.resize(samples.size());
    for (int i = 0; i < int(samples.size()); ++i)
        boxes[0].members[i] = i;
    measure(samples, boxes[0]);
    while (int(boxes.size()) < maxColours) {
        int chosen = -1;
        for (int i = 0; i < int(boxes.size()); ++i)
            if (boxes[i].members.size() > 1 && (chosen < 0 || boxes[i].error > boxes[chosen].error))
                chosen = i;
        if (chosen < 0)
            break;
        Box& box = boxes[chosen];
        const int axis = int(std::max_element(box.spread, box.spread + 3) - box.spread);
        std::sort(box.members.begin(), box.members.end(),
                  [&](int a, int b) { return samples[a].colour[axis] < samples[b].colour[axis]; });
        double behind = 0;
        size_t cut = 0;
        while (cut + 1 < box.members.size() &&
               (behind + samples[box.members[cut]].weight) * 2 < box.population)
            behind += samples[box.members[cut++]].weight;
        cut = std::max<size_t>(cut, 1);
        Box second;
        second.members.assign(box.members.begin() + qsizetype(cut), box.members.end());
        box.members.resize(cut);
        measure(samples, box);
        measure(samples, second);
        boxes.push_back(std::move(second));
    }
    std::vector<Colour> palette;
    for (const Box& box : boxes)
        palette.push_back(box.mean);
    return palette;
}

// ----- Nearest entries -----------------------------------------------------------------------------------
//
// Colours are looked up in cubes of 8 levels a side. Each cube keeps the entries that may be nearest to
// some colour inside it, found on the cube's first use: those whose nearest possible distance to the cube is
// below the smallest farthest distance of any entry. They are picked from the candidates of the enclosing
// cube of 32 levels a side, found the same way from the whole palette. A lookup compares a handful of
// entries.

class NearestEntries {
public:
    explicit NearestEntries(const std::vector<std::array<int, 3>>& palette)
        : m_palette(palette) {
        m_everyEntry.resize(palette.size());
        for (size_t i = 0; i < palette.size(); ++i)
            m_everyEntry[i] = uint8_t(i);
    }

    int nearest(int r, int g, int b) {
        const int cube = (r >> fineBits) << (2 * fineAxis) | (g >> fineBits) << fineAxis | (b >> fineBits);
        if (m_fine.first[cube] < 0) {
            const int coarse =
                (r >> coarseBits) << (2 * coarseAxis) | (g >> coarseBits) << coarseAxis | (b >> coarseBits);
            if (m_coarse.first[coarse] < 0)
                findCandidates(m_coarse, coarse, r, g, b, coarseBits, m_everyEntry.data(),
                               int(m_everyEntry.size()));
            // Copied out: the pool may move while the fine cube's candidates are appended.
            m_from.assign(m_coarse.pool.begin() + m_coarse.first[coarse],
                          m_coarse.pool.begin() + m_coarse.first[coarse] + m_coarse.length[coarse]);
            findCandidates(m_fine, cube, r, g, b, fineBits, m_from.data(), int(m_from.size()));
        }
        const uint8_t* candidates = m_fine.pool.data() + m_fine.first[cube];
        int best = candidates[0];
        int bestDistance = INT32_MAX;
        for (int i = 0; i < m_fine.length[cube]; ++i) {
            const std::array<int, 3>& entry = m_palette[candidates[i]];
            const int dr = entry[0] - r, dg = entry[1] - g, db = entry[2] - b;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidates[i];
            }
        }
        return best;
    }

private:
    static constexpr int fineBits = 3, fineAxis = 8 - fineBits;
    static constexpr int coarseBits = 5, coarseAxis = 8 - coarseBits;

    struct Cubes {
        explicit Cubes(int axisBits)
            : first(size_t(1) << (3 * axisBits), -1)
            , length(first.size()) {}
        std::vector<int> first;
        std::vector<uint16_t> length;
        std::vector<uint8_t> pool;
    };

    void findCandidates(Cubes& cubes, int cube, int r, int g, int b, int bits, const uint8_t* from,
                        int count) {
        const int low[3] = {r >> bits << bits, g >> bits << bits, b >> bits << bits};
        const int high = (1 << bits) - 1;
        m_nearDistance.resize(size_t(count));
        int bound = INT32_MAX;
        for (int i = 0; i < count; ++i) {
            const std::array<int, 3>& entry = m_palette[from[i]];
            int nearDistance = 0, farDistance = 0;
            for (int c = 0; c < 3; ++c) {
                const int below = low[c] - entry[c], above = entry[c] - (low[c] + high); // < 0 when inside
                const int nearGap = std::max({below, above, 0});
                const int farGap = std::max(std::abs(below), std::abs(above));
                nearDistance += nearGap * nearGap;
                farDistance += farGap * farGap;
            }
            m_nearDistance[size_t(i)] = nearDistance;
            bound = std::min(bound, farDistance);
        }
        cubes.first[cube] = int(cubes.pool.size());
        for (int i = 0; i < count; ++i)
            if (m_nearDistance[size_t(i)] <= bound)
                cubes.pool.push_back(from[i]);
        cubes.length[cube] = uint16_t(int(cubes.pool.size()) - cubes.first[cube]);
    }

    const std::vector<std::array<int, 3>>& m_palette;
    std::vector<uint8_t> m_everyEntry;
    Cubes m_fine{fineAxis};
    Cubes m_coarse{coarseAxis};
    std::vector<uint8_t> m_from;
    std::vector<int> m_nearDistance;
};

std::vector<std::array<int, 3>> rounded(const std::vector<Colour>& palette) {
    std::vector<std::array<int, 3>> entries;
    for (const Colour& colour : palette)
        entries.push_back({std::clamp(int(std::lround(colour[0])), 0, 255),
                           std::clamp(int(std::lround(colour[1])), 0, 255),
                           std::clamp(int(std::lround(colour[2])), 0, 255)});
    return entries;
}

// k-means: each round moves every entry to the mean of the colours that are nearest to it.
std::vector<std::array<int, 3>> refined(const std::vector<Sample>& samples, std::vector<Colour> palette) {
    constexpr int rounds = 5;
    for (int round = 0; round < rounds; ++round) {
        const std::vector<std::array<int, 3>> entries = rounded(palette);
        NearestEntries lookup(entries);
        std::vector<std::array<double, 4>> sums(palette.size(), {0, 0, 0, 0});
        for (const Sample& sample : samples) {
            const int entry = lookup.nearest(int(sample.colour[0] + 0.5f), int(sample.colour[1] + 0.5f),
                                             int(sample.colour[2] + 0.5f));
            for (int c = 0; c < 3; ++c)
                sums[entry][c] += double(sample.colour[c]) * sample.weight;
            sums[entry][3] += sample.weight;
        }
        for (size_t e = 0; e < palette.size(); ++e)
            if (sums[e][3] > 0)
                for (int c = 0; c < 3; ++c)
                    palette[e][c] = float(sums[e][c] / sums[e][3]);
    }
    return rounded(palette);
}

// ----- Mapping -------------------------------------------------------------------------------------------

// How much of the error to pass on at each pixel of a row, in 256ths: all of it where the pixel differs from
// its four neighbours by at most 3 levels in every channel, falling to an eighth at a difference of 12 and
// more (film grain and sensor noise are busy enough). Worked out for the whole row first, in a loop without
// dependencies the compiler can vectorise.
void diffusionOfRow(const QRgb* above, const QRgb* line, const QRgb* below, int width, int16_t* diffusion) {
    constexpr int calm = 3, busy = 12, least = 32;
    const auto channelGap = [](QRgb a, QRgb b, int shift) {
        return std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
    };
    for (int x = 0; x < width; ++x) {
        const QRgb self = line[x];
        const QRgb left = line[x > 0 ? x - 1 : 0], right = line[x + 1 < width ? x + 1 : x];
        int contrast = 0;
        for (const int shift : {0, 8, 16})
            contrast =
                std::max({contrast, channelGap(above[x], self, shift), channelGap(below[x], self, shift),
                          channelGap(left, self, shift), channelGap(right, self, shift)});
        const int falling = 256 - (256 - least) * (contrast - calm) / (busy - calm);
        diffusion[x] = int16_t(contrast <= calm ? 256 : contrast >= busy ? least : falling);
    }
}

// Maps rows [top, bottom) with serpentine Floyd–Steinberg. Errors are kept in 256ths of a level: the error
// times the pixel's diffusion (in 256ths) spread in sixteenths.
void mapRows(const QImage& rgb, const std::vector<std::array<int, 3>>& palette, uchar* indices,
             qsizetype indicesPerLine, int top, int bottom) {
    NearestEntries lookup(palette);
    const int width = rgb.width();
    std::vector<std::array<int, 3>> current(width + 2), next(width + 2);
    std::vector<int16_t> diffusion(width);
    for (int y = top; y < bottom; ++y) {
        std::fill(next.begin(), next.end(), std::array<int, 3>{0, 0, 0});
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        const auto* above = reinterpret_cast<const QRgb*>(rgb.constScanLine(std::max(y - 1, 0)));
        const auto* below =
            reinterpret_cast<const QRgb*>(rgb.constScanLine(std::min(y + 1, rgb.height() - 1)));
        uchar* out = indices + y * indicesPerLine;
        diffusionOfRow(above, line, below, width, diffusion.data());
        const bool forward = (y - top) % 2 == 0;
        const int direction = forward ? 1 : -1;
        for (int step = 0; step < width; ++step) {
            const int x = forward ? step : width - 1 - step;
            const std::array<int, 3>& error = current[x + 1];
            const int wanted[3] = {std::clamp(qRed(line[x]) + ((error[0] + 2048) >> 12), 0, 255),
                                   std::clamp(qGreen(line[x]) + ((error[1] + 2048) >> 12), 0, 255),
                                   std::clamp(qBlue(line[x]) + ((error[2] + 2048) >> 12), 0, 255)};
            const int index = lookup.nearest(wanted[0], wanted[1], wanted[2]);
            out[x] = uchar(index);
            for (int c = 0; c < 3; ++c) {
                const int e = (wanted[c] - palette[index][c]) * diffusion[x];
                current[x + 1 + direction][c] += e * 7;
                next[x + 1 - direction][c] += e * 3;
                next[x + 1][c] += e * 5;
                next[x + 1 + direction][c] += e;
            }
        }
        std::swap(current, next);
    }
}

// The picture in its own colours, when it has few enough.
QImage withOwnColours(const QImage& rgb, const ColourCounts& counts) {
    QList<QRgb> palette;
    std::unordered_map<QRgb, uchar> indices;
    for (const auto& entry : counts) {
        indices.emplace(entry.first, uchar(palette.size()));
        palette << entry.first;
    }
    QImage result(rgb.size(), QImage::Format_Indexed8);
    const int width = rgb.width();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = result.scanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = indices.at(line[x] | 0xff000000);
    }
    result.setColorTable(palette);
    return result;
}

} // namespace

QImage quantised(const QImage& picture, int maxColours) {
    maxColours = std::clamp(maxColours, 1, 256);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    // Pictures with fewer colours than that (drawings, gradients) are cut from their exact colours.
    constexpr size_t exactColours = 32768;
    const ColourCounts counts = distinctColours(rgb, exactColours);
    if (!counts.empty() && int(counts.size()) <= maxColours)
        return withOwnColours(rgb, counts);
    const std::vector<Sample> samples = counts.empty() ? samplesOf(rgb) : samplesOf(counts);
    const std::vector<std::array<int, 3>> palette = refined(samples, medianCut(samples, maxColours));

    QImage result(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const std::array<int, 3>& entry : palette)
        table << qRgb(entry[0], entry[1], entry[2]);
    result.setColorTable(table);

    // Bands of at least 256 rows: a band's first row starts without error, which no eye can find.
    const int height = rgb.height();
    const int bands = std::clamp(height / 256, 1, std::max(1, int(std::thread::hardware_concurrency())));
    uchar* indices = result.bits(); // taken once: the workers share the picture without detaching it
    std::vector<std::thread> workers;
    for (int band = 1; band < bands; ++band)
        workers.emplace_back(mapRows, std::cref(rgb), std::cref(palette), indices, result.bytesPerLine(),
                             height * band / bands, height * (band + 1) / bands);
    mapRows(rgb, palette, indices, result.bytesPerLine(), 0, height / bands);
    for (std::thread& worker : workers)
        worker.join();
    return result;
}
