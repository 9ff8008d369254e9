// SPDX-License-Identifier: MIT
#include "filters/FilterGallery.h"

#include "effects/EffectRunner.h"
#include "effects/Effects.h"
#include "pictures/PicturePyramid.h"
#include "toolkit/EffectBaking.h"
#include "toolkit/ToolPanel.h"
#include "toolkit/ToolRequests.h"
#include "widgets/Panel.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <new>
#include <utility>

namespace {

constexpr QSize thumbnailSize{153, 145};

struct Thumbnail {
    EffectKind kind;
    const char* name;
    int x;
    const char* caption;
    QPoint captionAt;
};

constexpr Thumbnail thumbnails[] = {
    {EffectKind::BrightnessContrast, "Image10", 8, "Brightness and contrast", {8, 144}},
    {EffectKind::PaperSketch, "Image2", 192, "Paper Sketch", {240, 144}},
    {EffectKind::PencilStroke, "Image3", 376, "Pencil stroke", {416, 152}},
    {EffectKind::BlackAndWhite, "Image4", 560, "Black and white", {592, 152}},
    {EffectKind::Invert, "Image6", 744, "Invert colors", {784, 152}},
    {EffectKind::Sepia, "Image7", 928, "Sepia", {984, 152}},
    {EffectKind::Emboss, "Image8", 1104, "Emboss", {1152, 152}},
    {EffectKind::Water, "Image9", 1280, "Water", {1336, 152}},
    {EffectKind::Blur, "Image12", 1458, "Blur", {1528, 152}},
    {EffectKind::BoxBlur, "Image11", 1640, "Box Blur", {1696, 144}},
    {EffectKind::RadialBlur, "Image5", 1832, "Radial blur", {1864, 144}},
};

// Each track bar drives one parameter of one filter, in the thumbnail and in the preview alike.
struct ParameterBar {
    const char* name;
    EffectKind kind;
    double Effect::*field;
    double minimum, maximum, stored, opening;
    const char* label;
    QPoint labelAt;
    QPoint barAt;
    int width;
};

const ParameterBar parameterBars[] = {
    {"TrackBar1",
     EffectKind::PaperSketch,
     &Effect::brushSize,
     0.6,
     10,
     0.6,
     3,
     "Brush size:",
     {192, 168},
     {192, 184},
     148},
    {"TrackBar2",
     EffectKind::PencilStroke,
     &Effect::brushSize,
     1,
     19,
     1,
     5,
     "Brush Size:",
     {376, 168},
     {376, 184},
     153},
    {"TrackBar3", EffectKind::Sepia, &Effect::amount, 0, 1, 0, 0.5, "Amount:", {928, 168}, {928, 184}, 153},
    {"TrackBar4",
     EffectKind::Emboss,
     &Effect::amount,
     0,
     1,
     0,
     0.5,
     "Amount:",
     {1104, 168},
     {1104, 184},
     153},
    {"TrackBar5", EffectKind::Emboss, &Effect::width, 0, 10, 0, 3, "Width:", {1104, 200}, {1104, 216}, 153},
    {"TrackBar6", EffectKind::Water, &Effect::time, 0, 2048, 0, 0, "Time:", {1272, 168}, {1272, 184}, 161},
    {"TrackBar7",
     EffectKind::Water,
     &Effect::waveSize,
     32,
     256,
     32,
     64,
     "Wave size:",
     {1272, 200},
     {1272, 216},
     161},
    {"TrackBar8",
     EffectKind::BoxBlur,
     &Effect::blurAmount,
     0.01,
     10,
     0.01,
     1,
     "Blur amount:",
     {1640, 160},
     {1640, 176},
     153},
    {"TrackBar9",
     EffectKind::RadialBlur,
     &Effect::blurAmount,
     0.01,
     10,
     0.01,
     1,
     "Blur amount:",
     {1832, 160},
     {1832, 176},
     145},
    {"TrackBar10",
     EffectKind::BrightnessContrast,
     &Effect::brightness,
     -1,
     1,
     0,
     0,
     "Brightness:",
     {8, 168},
     {8, 184},
     145},
    {"TrackBar11",
     EffectKind::BrightnessContrast,
     &Effect::contrast,
     0,
     2,
     0,
     1,
     "Contrast:",
     {8, 198},
     {8, 213},
     145},
    {"TrackBar12",
     EffectKind::Blur,
     &Effect::softness,
     0,
     9,
     0,
     0.3,
     "Softness:",
     {1464, 168},
     {1464, 184},
     153},
};

// The preview's filters in the order that decides which one shows: the first enabled.
// The brightness and contrast bars ("TrackBar10", "TrackBar11"), which "R" puts back.
constexpr std::size_t brightnessBar = 9;
constexpr std::size_t contrastBar = 10;

constexpr EffectKind previewOrder[] = {
    EffectKind::PaperSketch,   EffectKind::PencilStroke,
    EffectKind::BlackAndWhite, EffectKind::Invert,
    EffectKind::Sepia,         EffectKind::Emboss,
    EffectKind::Water,         EffectKind::BoxBlur,
    EffectKind::RadialBlur,    EffectKind::BrightnessContrast,
    EffectKind::Blur,
};

// The filters' parameters as the window is first laid out (before any opening sets the track bars).
std::array<Effect, effectKindCount> storedEffects() {
    std::array<Effect, effectKindCount> effects;
    for (int i = 0; i < effectKindCount; ++i)
        effects[i].kind = EffectKind(i);
    effects[int(EffectKind::BrightnessContrast)].contrast = 1.5;
    effects[int(EffectKind::PencilStroke)].brushSize = 5;
    return effects;
}

} // namespace

FilterGallery::FilterGallery(ToolRequests& requests, QWidget* parent)
    : QDialog(parent)
    , m_requests(requests)
    , m_effects(storedEffects())
    , m_runner(new EffectRunner(this)) {
    // Water, box blur, radial blur and blur start enabled, so water shows until the first choice.
    for (EffectKind kind : {EffectKind::Water, EffectKind::BoxBlur, EffectKind::RadialBlur, EffectKind::Blur})
        m_previewEnabled[int(kind)] = true;

    auto* top = new QWidget;
    top->setObjectName("Panel1");
    top->setFixedHeight(249);
    auto* stripArea = new QScrollArea(top);
    stripArea->setObjectName("ScrollBox1");
    auto* strip = new QWidget;
    strip->setFixedSize(1985, 232);
    buildStrip(strip);
    stripArea->setWidget(strip);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(stripArea);

    m_preview = new PictureView;
    m_preview->setObjectName("Image1");
    auto* buttons = new QWidget;
    buttons->setObjectName("Panel2");
    buttons->setFixedWidth(78);
    QPushButton* visualize = makeButton("CornerButton3", "Visualize", buttons);
    QPushButton* ok = makeButton("CornerButton2", "Ok", buttons);
    QPushButton* cancel = makeButton("CornerButton1", "Cancel", buttons);
    auto* buttonColumn = new QVBoxLayout(buttons);
    buttonColumn->setContentsMargins(0, 0, 0, 1);
    buttonColumn->setSpacing(1);
    buttonColumn->addStretch(1);
    for (QPushButton* button : {visualize, ok, cancel}) {
        button->setFixedSize(78, 22);
        buttonColumn->addWidget(button);
    }

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(0);
    bottom->addWidget(m_preview, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addLayout(bottom, 1);

    connect(visualize, &QPushButton::clicked, this, &FilterGallery::visualize);
    pressOnReturn(this, ok);
    connect(ok, &QPushButton::clicked, this, &FilterGallery::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_runner, &EffectRunner::finished, this, [this](int job, const QImage& result) {
        if (job == m_previewJob)
            m_preview->setPicture(result);
    });
}

FilterGallery::~FilterGallery() = default;

void FilterGallery::buildStrip(QWidget* strip) {
    Panel panel(strip);
    for (const Thumbnail& thumbnail : thumbnails) {
        auto* view = new PictureView(strip);
        view->setObjectName(thumbnail.name);
        view->setGeometry(thumbnail.x, 0, thumbnailSize.width(), thumbnailSize.height());
        m_thumbnails[int(thumbnail.kind)] = view;
        panel.label("", thumbnail.caption, thumbnail.captionAt.x(), thumbnail.captionAt.y());
        if (thumbnail.kind != EffectKind::Blur)
            connect(view, &PictureView::clicked, this, [this, kind = thumbnail.kind] { select(kind); });
    }
    // The blur thumbnail takes clicks through a transparent area over it, short of its left and top edges.
    auto* blurClicks = new PictureView(strip);
    blurClicks->setObjectName("Image13");
    blurClicks->setGeometry(1466, 8, thumbnailSize.width(), thumbnailSize.height());
    connect(blurClicks, &PictureView::clicked, this, [this] { select(EffectKind::Blur); });

    for (const ParameterBar& bar : parameterBars) {
        panel.label("", bar.label, bar.labelAt.x(), bar.labelAt.y());
        TrackBar* trackBar = panel.trackBar(bar.name, bar.barAt.x(), bar.barAt.y(), bar.width, 20,
                                            bar.minimum, bar.maximum, bar.stored);
        connect(trackBar, &TrackBar::changed, this,
                [this, &bar](double value) { setParameter(bar.kind, bar.field, value); });
        m_parameterBars.push_back(trackBar);
    }
    // "R" puts brightness and contrast back.
    TrackBar* brightness = m_parameterBars[brightnessBar];
    TrackBar* contrast = m_parameterBars[contrastBar];
    QPushButton* reset = panel.button("Button3", "R", 128, 144, 17, 17);
    connect(reset, &QPushButton::clicked, this, [brightness, contrast] {
        brightness->setValue(0);
        contrast->setValue(1);
    });
}

void FilterGallery::prepare(const QImage& source, Target target) {
    m_source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_thumbnailSource = fittedCopy(m_source, thumbnailSize);
    m_previewSource = fittedCopy(m_source, m_preview->size().expandedTo(QSize(875, 448)));
    for (const Thumbnail& thumbnail : thumbnails)
        refreshThumbnail(thumbnail.kind);
    for (std::size_t i = 0; i < std::size(parameterBars); ++i)
        m_parameterBars[i]->setValue(parameterBars[i].opening);
    m_target = std::move(target);
    refreshPreview();
}

EffectKind FilterGallery::selectedKind() const {
    for (EffectKind kind : previewOrder)
        if (m_previewEnabled[int(kind)])
            return kind;
    return EffectKind::Water; // never reached: a choice always leaves one enabled
}

const QImage& FilterGallery::previewPicture() const {
    return m_preview->picture();
}

const QImage& FilterGallery::thumbnailPicture(EffectKind kind) const {
    return m_thumbnails[int(kind)]->picture();
}

void FilterGallery::select(EffectKind kind) {
    m_previewEnabled.fill(false);
    m_previewEnabled[int(kind)] = true;
    refreshPreview();
}

void FilterGallery::showEffect(const Effect& effect) {
    for (std::size_t i = 0; i < std::size(parameterBars); ++i)
        if (parameterBars[i].kind == effect.kind)
            m_parameterBars[i]->setValue(effect.*parameterBars[i].field);
    select(effect.kind);
}

void FilterGallery::setParameter(EffectKind kind, double Effect::*field, double value) {
    m_effects[int(kind)].*field = value;
    refreshThumbnail(kind);
    if (kind == selectedKind())
        refreshPreview();
}

void FilterGallery::refreshThumbnail(EffectKind kind) {
    // Thumbnails are small enough to filter on the spot.
    if (!m_thumbnailSource.isNull())
        m_thumbnails[int(kind)]->setPicture(applyEffect(m_effects[int(kind)], m_thumbnailSource));
}

void FilterGallery::refreshPreview() {
    if (m_previewSource.isNull())
        return;
    // Off the GUI thread; a newer request drops the older one.
    m_previewJob = m_runner->start(selectedEffect(), m_previewSource);
}

void FilterGallery::waitForPreview() {
    m_runner->waitForIdle();
    QCoreApplication::sendPostedEvents(m_runner);
}

void FilterGallery::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // A larger preview area deserves a sharper copy.
    const QSize area = m_preview->size();
    if (!m_source.isNull() &&
        (area.width() > m_previewSource.width() && area.height() > m_previewSource.height()) &&
        m_previewSource.size() != m_source.size()) {
        m_previewSource = fittedCopy(m_source, area);
        refreshPreview();
    }
}

void FilterGallery::apply() {
    if (m_source.isNull() || !m_target)
        return;
    const QImage baked = bakeEffectWithProgress(this, selectedEffect(), m_source);
    if (baked.isNull())
        return; // cancelled: nothing is written, the gallery stays open
    m_target(baked);
    accept();
}

void FilterGallery::visualize() {
    if (m_source.isNull())
        return;
    const QImage baked = bakeEffectWithProgress(this, selectedEffect(), m_source);
    if (baked.isNull())
        return;
    m_requests.showResult(baked);
}
