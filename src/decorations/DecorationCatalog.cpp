// SPDX-License-Identifier: MIT
#include "decorations/DecorationCatalog.h"

namespace {

constexpr auto B = DecorationSet::Borders;
constexpr auto E = DecorationSet::Effects;
constexpr auto M = DecorationSet::Montages;
constexpr bool Fit = false;
constexpr bool Stretch = true;

constexpr DecorationEntry borders[] = {
    {B, "Image1", 0, 0, 600, 450, Fit},           {B, "Image32", 200, 0, 1920, 1200, Stretch},
    {B, "Image24", 400, 0, 900, 900, Stretch},    {B, "Image9", 592, 0, 537, 274, Stretch},
    {B, "Image2", 0, 144, 1143, 1600, Stretch},   {B, "Image4", 200, 144, 1372, 815, Stretch},
    {B, "Image10", 400, 144, 960, 720, Fit},      {B, "Image37", 592, 144, 400, 306, Fit},
    {B, "Image29", 0, 288, 900, 506, Stretch},    {B, "Image7", 200, 288, 311, 400, Stretch},
    {B, "Image11", 400, 288, 956, 717, Fit},      {B, "Image31", 592, 288, 600, 495, Stretch},
    {B, "Image3", 0, 432, 1600, 1280, Stretch},   {B, "Image23", 200, 432, 480, 583, Stretch},
    {B, "Image12", 400, 432, 1577, 1201, Fit},    {B, "Image33", 592, 432, 1128, 870, Fit},
    {B, "Image20", 0, 576, 960, 720, Stretch},    {B, "Image22", 200, 576, 818, 618, Stretch},
    {B, "Image19", 400, 576, 1295, 870, Fit},     {B, "Image30", 592, 576, 3500, 2333, Fit},
    {B, "Image27", 0, 720, 1600, 1200, Stretch},  {B, "Image6", 200, 720, 476, 640, Stretch},
    {B, "Image18", 400, 720, 1023, 629, Stretch}, {B, "Image28", 592, 720, 286, 400, Stretch},
    {B, "Image5", 0, 872, 480, 400, Stretch},     {B, "Image8", 200, 872, 1600, 1100, Fit},
    {B, "Image13", 400, 872, 1000, 651, Fit},     {B, "Image14", 592, 872, 1024, 768, Fit},
};

constexpr DecorationEntry effects[] = {
    {E, "Image27", 0, 0, 1600, 889, Fit},         {E, "Image6", 200, 0, 1600, 889, Fit},
    {E, "Image18", 400, 0, 1600, 889, Fit},       {E, "Image28", 592, 0, 1600, 889, Fit},
    {E, "Image5", 0, 144, 1600, 889, Fit},        {E, "Image8", 200, 144, 1600, 889, Fit},
    {E, "Image19", 400, 144, 1600, 889, Stretch}, {E, "Image30", 592, 144, 1600, 889, Fit},
    {E, "Image23", 0, 288, 400, 400, Fit},        {E, "Image20", 200, 288, 800, 778, Fit},
    {E, "Image22", 400, 288, 300, 233, Fit},      {E, "Image33", 592, 288, 3000, 2000, Fit},
    {E, "Image12", 0, 432, 640, 480, Fit},        {E, "Image1", 200, 432, 648, 479, Fit},
    {E, "Image32", 400, 432, 1000, 819, Fit},     {E, "Image31", 592, 432, 600, 556, Fit},
    {E, "Image10", 0, 576, 645, 364, Fit},        {E, "Image37", 200, 576, 1200, 600, Fit},
    {E, "Image4", 400, 576, 362, 250, Fit},       {E, "Image11", 592, 576, 600, 729, Fit},
};

constexpr DecorationEntry montages[] = {
    {M, "Image1", 0, 0, 975, 601, Fit},        {M, "Image3", 216, 0, 1080, 718, Fit},
    {M, "Image2", 432, 0, 1000, 703, Fit},     {M, "Image4", 648, 0, 1280, 960, Fit},
    {M, "Image5", 0, 216, 1000, 714, Fit},     {M, "Image6", 216, 216, 500, 450, Fit},
    {M, "Image7", 432, 216, 1200, 857, Fit},   {M, "Image8", 648, 216, 1080, 745, Fit},
    {M, "Image9", 0, 432, 1218, 870, Fit},     {M, "Image10", 216, 432, 1333, 870, Fit},
    {M, "Image11", 432, 432, 1230, 870, Fit},  {M, "Image12", 648, 432, 1194, 870, Fit},
    {M, "Image13", 0, 648, 1024, 682, Fit},    {M, "Image14", 216, 648, 1197, 803, Fit},
    {M, "Image16", 432, 648, 1000, 715, Fit},  {M, "Image15", 648, 648, 1295, 870, Fit},
    {M, "Image17", 0, 864, 1000, 714, Fit},    {M, "Image18", 216, 864, 1000, 666, Fit},
    {M, "Image19", 432, 864, 1000, 666, Fit},  {M, "Image20", 648, 864, 1000, 666, Fit},
    {M, "Image24", 0, 1080, 1000, 714, Fit},   {M, "Image23", 216, 1080, 1000, 750, Fit},
    {M, "Image22", 432, 1080, 1218, 870, Fit}, {M, "Image21", 640, 1080, 1000, 750, Fit},
};

QString relativeFile(const DecorationEntry& entry, bool thumbnail) {
    const QString folder = decorationFolder(entry.set);
    const QString file = QString::fromLatin1(entry.name) + QStringLiteral(".png");
    return thumbnail ? folder + QStringLiteral("/thumbs/") + file : folder + QLatin1Char('/') + file;
}

} // namespace

std::span<const DecorationEntry> decorationEntries(DecorationSet set) {
    switch (set) {
    case DecorationSet::Borders:
        return borders;
    case DecorationSet::Effects:
        return effects;
    case DecorationSet::Montages:
        return montages;
    }
    return {};
}

const DecorationEntry* findDecoration(DecorationSet set, QStringView name) {
    for (const DecorationEntry& entry : decorationEntries(set)) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

QString decorationFolder(DecorationSet set) {
    switch (set) {
    case DecorationSet::Borders:
        return QStringLiteral("borders");
    case DecorationSet::Effects:
        return QStringLiteral("effects");
    case DecorationSet::Montages:
        return QStringLiteral("montages");
    }
    return {};
}

QSize decorationThumbnailBox(DecorationSet set) {
    return set == DecorationSet::Montages ? QSize(200, 200) : QSize(185, 137);
}

QString decorationPictureFile(const DecorationEntry& entry) {
    return relativeFile(entry, false);
}
QString decorationThumbnailFile(const DecorationEntry& entry) {
    return relativeFile(entry, true);
}

QString decorationPicturePath(const DecorationEntry& entry) {
    return QStringLiteral(":/decorations/") + decorationPictureFile(entry);
}

QString decorationThumbnailPath(const DecorationEntry& entry) {
    return QStringLiteral(":/decorations/") + decorationThumbnailFile(entry);
}
