// SPDX-License-Identifier: MIT
// The stored decoration pictures of the three galleries: where each sits in its gallery's grid, its pixel
// size and how its thumbnail is drawn. Plain data, shared by the program and the picture generator.
#pragma once

#include <QSize>
#include <QString>
#include <QStringView>

#include <array>
#include <span>

enum class DecorationSet { Borders, Effects, Montages };

inline constexpr std::array<DecorationSet, 3> allDecorationSets{
    DecorationSet::Borders, DecorationSet::Effects, DecorationSet::Montages};

struct DecorationEntry {
    DecorationSet set;
    const char* name; // the picture control's name, also the stored file's base name
    int gridX;
    int gridY;
    int width;
    int height;
    bool stretch; // the thumbnail fills its box instead of keeping the picture's aspect ratio

    QSize size() const { return {width, height}; }
};

// The entries of one gallery in grid order: row by row, left to right.
std::span<const DecorationEntry> decorationEntries(DecorationSet set);
const DecorationEntry* findDecoration(DecorationSet set, QStringView name);

// Folder of the set inside the resource tree: "borders", "effects" or "montages".
QString decorationFolder(DecorationSet set);
// The box each thumbnail of the set is drawn in.
QSize decorationThumbnailBox(DecorationSet set);

// Resource paths of the full picture and of its pre-scaled thumbnail, e.g.
// ":/decorations/borders/Image32.png" and ":/decorations/borders/thumbs/Image32.png".
QString decorationPicturePath(const DecorationEntry& entry);
QString decorationThumbnailPath(const DecorationEntry& entry);
// The same paths relative to the resource root, as the generator writes them to disk.
QString decorationPictureFile(const DecorationEntry& entry);
QString decorationThumbnailFile(const DecorationEntry& entry);
