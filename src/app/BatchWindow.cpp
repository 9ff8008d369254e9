// SPDX-License-Identifier: MIT
#include "app/BatchWindow.h"

#include "app/WindowTable.h"
#include "base/UserError.h"
#include "batch/BatchRun.h"
#include "document/Document.h"
#include "pictures/Pictures.h"
#include "steps/WatermarkPresets.h"
#include "widgets/PictureView.h"
#include "widgets/Services.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QThreadPool>
#include <QVBoxLayout>

namespace {

constexpr int previewLongEdge = 480;
constexpr int openingHeight = 640;

// A worker of its own for the preview, waited for when the window goes.
QThreadPool& previewPool(QObject* owner) {
    auto* pool = owner->findChild<QThreadPool*>(QStringLiteral("PreviewPool"), Qt::FindDirectChildrenOnly);
    if (!pool) {
        pool = new QThreadPool(owner);
        pool->setObjectName(QStringLiteral("PreviewPool"));
        pool->setMaxThreadCount(1);
    }
    return *pool;
}

QString timeText(qint64 seconds) {
    return seconds >= 3600
               ? QStringLiteral("%1:%2:%3")
                     .arg(seconds / 3600)
                     .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(seconds % 60, 2, 10, QLatin1Char('0'))
               : QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QPushButton* button(const QString& text, const char* name) {
    auto* made = new QPushButton(text);
    made->setObjectName(name);
    made->setAutoDefault(false);
    return made;
}

} // namespace

BatchWindow::BatchWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document) {
    applyWindowDescription(this, WindowId::Batch);
    setAcceptDrops(true);
    build();
    refreshRecipe();
}

BatchWindow::~BatchWindow() {
    if (m_run)
        m_run->cancel();
    m_run.reset(); // waits for the workers
    ++m_previewGeneration;
    previewPool(this).clear();
    previewPool(this).waitForDone();
}

void BatchWindow::build() {
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    // What a run is made of cannot change while it runs.
    m_settingGroups = {buildRecipeGroup(), buildPhotoGroup(), buildOutputGroup()};
    left->addWidget(m_settingGroups[0]);
    left->addWidget(m_settingGroups[1], 1);
    left->addWidget(m_settingGroups[2]);
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    // The preview fits its place whatever the window's size; a message stands there instead when there is
    // no picture to show.
    m_preview = new QLabel("Select a photo to see the recipe on it.");
    m_preview->setObjectName("PreviewLabel");
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setWordWrap(true);
    m_previewView = new PictureView;
    m_previewView->setObjectName("PreviewView");
    m_previewPlace = new QStackedWidget;
    m_previewPlace->addWidget(m_preview);
    m_previewPlace->addWidget(m_previewView);
    // Wide enough to judge a photo; short enough that the run's controls below always keep their place
    // (the window's smallest height does not count wrapped lines, so a tall minimum here would be drawn
    // over them on a laptop's screen). It grows with the window.
    m_previewPlace->setMinimumSize(previewLongEdge * 3 / 4, previewLongEdge / 3);
    m_previewPlace->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    right->addWidget(m_previewPlace, 1);
    right->addWidget(buildRunGroup());
    columns->addLayout(right, 1);
    setLayout(columns);
    // Opens tall enough for the preview to show a photo well; a small screen may make it shorter.
    resize(sizeHint().expandedTo(QSize(0, openingHeight)));
}

QWidget* BatchWindow::buildRecipeGroup() {
    auto* group = new QGroupBox("Recipe");
    auto* layout = new QVBoxLayout(group);
    m_fromDocument = new QRadioButton("The current picture's steps after its opening");
    m_fromDocument->setObjectName("RecipeFromDocument");
    m_fromDocument->setChecked(true);
    m_fromProject = new QRadioButton("A project file:");
    m_fromProject->setObjectName("RecipeFromProject");
    m_projectEdit = new QLineEdit;
    m_projectEdit->setObjectName("ProjectFileEdit");
    QPushButton* chooseProject = button("Choose…", "ChooseProjectButton");
    auto* projectRow = new QHBoxLayout;
    projectRow->addWidget(m_fromProject);
    projectRow->addWidget(m_projectEdit, 1);
    projectRow->addWidget(chooseProject);
    // A saved watermark made after the recipe's steps (or alone).
    m_watermarkList = new QComboBox;
    m_watermarkList->setObjectName("WatermarkPresetList");
    m_watermarkList->addItem("None");
    m_watermarkList->addItems(watermark_presets::names());
    auto* watermarkRow = new QHBoxLayout;
    watermarkRow->addWidget(new QLabel("Then the watermark:"));
    watermarkRow->addWidget(m_watermarkList, 1);
    m_recipeLabel = new QLabel;
    m_recipeLabel->setObjectName("RecipeLabel");
    m_recipeLabel->setWordWrap(true);
    layout->addWidget(m_fromDocument);
    layout->addLayout(projectRow);
    layout->addLayout(watermarkRow);
    layout->addWidget(m_recipeLabel);

    connect(m_fromDocument, &QRadioButton::toggled, this, [this] { refreshRecipe(); });
    connect(m_watermarkList, &QComboBox::currentIndexChanged, this, [this] { refreshRecipe(); });
    connect(m_projectEdit, &QLineEdit::editingFinished, this, [this] {
        if (m_fromProject->isChecked())
            refreshRecipe();
    });
    connect(chooseProject, &QPushButton::clicked, this, [this] {
        const QString path = services().files->openProjectName(this, m_projectEdit->text());
        if (path.isEmpty())
            return;
        m_projectEdit->setText(path);
        m_fromProject->setChecked(true);
        refreshRecipe();
    });
    return group;
}

QWidget* BatchWindow::buildPhotoGroup() {
    auto* group = new QGroupBox("Photos (add files or folders, or drop them here)");
    auto* layout = new QVBoxLayout(group);
    m_photoList = new QListWidget;
    m_photoList->setObjectName("PhotoList");
    m_photoList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QPushButton* addFiles = button("Add photos…", "AddPhotosButton");
    QPushButton* addFolder = button("Add folder…", "AddFolderButton");
    m_subFolders = new QCheckBox("With sub-folders");
    m_subFolders->setObjectName("SubFoldersCheck");
    QPushButton* remove = button("Remove", "RemovePhotosButton");
    QPushButton* clear = button("Clear", "ClearPhotosButton");
    auto* buttons = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(addFiles), static_cast<QWidget*>(addFolder),
                            static_cast<QWidget*>(m_subFolders)})
        buttons->addWidget(widget);
    buttons->addStretch();
    buttons->addWidget(remove);
    buttons->addWidget(clear);
    layout->addWidget(m_photoList, 1);
    layout->addLayout(buttons);

    connect(addFiles, &QPushButton::clicked, this,
            [this] { addPaths(services().files->openFileNames(this, QString())); });
    connect(addFolder, &QPushButton::clicked, this, [this] {
        const QString folder = services().files->folderName(this, "Add the photos of a folder", QString());
        if (!folder.isEmpty())
            addPaths({folder});
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        qDeleteAll(m_photoList->selectedItems());
        updateControls();
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_photoList->clear();
        updateControls();
    });
    connect(m_photoList, &QListWidget::currentRowChanged, this, [this] { updatePreview(); });
    return group;
}

QWidget* BatchWindow::buildOutputGroup() {
    auto* group = new QGroupBox("Output");
    auto* form = new QFormLayout(group);
    m_folderEdit = new QLineEdit;
    m_folderEdit->setObjectName("OutputFolderEdit");
    QPushButton* chooseFolder = button("Choose…", "ChooseOutputFolderButton");
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(chooseFolder);
    form->addRow("Folder:", folderRow);
    m_patternEdit = new QLineEdit(BatchOutput().namePattern);
    m_patternEdit->setObjectName("NamePatternEdit");
    m_patternEdit->setToolTip(
        "{name}: the photo's name, {n}: its number in the list, {date}: its file's date");
    form->addRow("Name:", m_patternEdit);
    m_formatList = new QComboBox;
    m_formatList->setObjectName("FormatList");
    m_formatList->addItem("Keep the photo's", QString());
    for (const QString& extension : writableExtensions())
        m_formatList->addItem(extension.toUpper(), extension);
    m_qualityBox = new QSpinBox;
    m_qualityBox->setObjectName("QualityBox");
    m_qualityBox->setRange(1, 100);
    m_qualityBox->setValue(BatchOutput().quality);
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(m_formatList, 1);
    formatRow->addWidget(new QLabel("JPEG/WebP quality:"));
    formatRow->addWidget(m_qualityBox);
    form->addRow("Format:", formatRow);
    m_longEdgeCheck = new QCheckBox("Long edge:");
    m_longEdgeCheck->setObjectName("LongEdgeCheck");
    m_longEdgeBox = new QSpinBox;
    m_longEdgeBox->setObjectName("LongEdgeBox");
    m_longEdgeBox->setRange(16, 30000);
    m_longEdgeBox->setValue(2048);
    m_longEdgeBox->setSuffix(" px");
    m_longEdgeBox->setEnabled(false);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_longEdgeCheck);
    sizeRow->addWidget(m_longEdgeBox);
    sizeRow->addStretch();
    form->addRow("Size:", sizeRow);
    m_overwriteCheck = new QCheckBox("Replace files that already exist");
    m_overwriteCheck->setObjectName("OverwriteCheck");
    form->addRow(m_overwriteCheck);

    connect(chooseFolder, &QPushButton::clicked, this, [this] {
        const QString folder = services().files->folderName(this, "Output folder", m_folderEdit->text());
        if (!folder.isEmpty())
            m_folderEdit->setText(folder);
    });
    connect(m_longEdgeCheck, &QCheckBox::toggled, m_longEdgeBox, &QWidget::setEnabled);
    connect(m_folderEdit, &QLineEdit::textChanged, this, [this] { updateControls(); });
    return group;
}

QWidget* BatchWindow::buildRunGroup() {
    auto* group = new QWidget;
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar;
    m_progress->setObjectName("BatchProgress");
    m_progress->setValue(0);
    m_status = new QLabel;
    m_status->setObjectName("BatchStatusLabel");
    m_status->setWordWrap(true);
    m_failures = new QListWidget;
    m_failures->setObjectName("FailureList");
    m_failures->setMaximumHeight(120);
    // A reason is read whole: wrapped to the list's width, never cut.
    m_failures->setWordWrap(true);
    m_failures->setTextElideMode(Qt::ElideNone);
    m_failures->setResizeMode(QListView::Adjust);
    m_failures->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_startButton = button("Start", "StartButton");
    m_startButton->setDefault(true);
    m_cancelButton = button("Close", "CancelButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_cancelButton);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(new QLabel("Photos not written:"));
    layout->addWidget(m_failures);
    layout->addLayout(buttons);
    connect(m_startButton, &QPushButton::clicked, this, &BatchWindow::start);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        if (m_run)
            cancel();
        else
            QDialog::reject();
    });
    return group;
}

void BatchWindow::refreshRecipe() {
    m_recipe = {};
    m_recipeProblem.clear();
    const QString watermark =
        m_watermarkList->currentIndex() > 0 ? m_watermarkList->currentText() : QString();
    try {
        if (m_fromProject->isChecked()) {
            if (m_projectEdit->text().isEmpty())
                throw UserError("Choose a project file.");
            m_recipe = BatchRecipe::fromProjectFile(m_projectEdit->text());
        } else {
            const QList<ProjectStep> steps = m_document.keptSteps();
            if (steps.size() >= 2 || watermark.isEmpty()) { // else the watermark alone is the recipe
                if (steps.isEmpty())
                    throw UserError("Open a picture and decorate it, or choose a project file.");
                m_recipe = BatchRecipe::fromSteps(steps);
            }
        }
        if (!watermark.isEmpty()) {
            const std::optional<WatermarkSettings> preset = watermark_presets::find(watermark);
            if (!preset)
                throw UserError(QStringLiteral("The watermark \"%1\" cannot be read.").arg(watermark));
            m_recipe.append({QStringLiteral("Add watermark"), WatermarkStep::write(*preset)});
        }
        QStringList names;
        for (const ProjectStep& step : m_recipe.steps())
            names << step.name;
        const QString count =
            names.size() == 1 ? QStringLiteral("1 step") : QStringLiteral("%1 steps").arg(names.size());
        m_recipeLabel->setText(count + QStringLiteral(": ") + names.join(", "));
    } catch (const UserError& error) {
        m_recipeProblem = error.message();
        m_recipeLabel->setText(m_recipeProblem);
    }
    updateControls();
    updatePreview();
}

void BatchWindow::addPaths(const QStringList& paths) {
    QStringList listed = photos();
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QStringList found = info.isDir() ? batch::picturesIn(path, m_subFolders->isChecked())
                                               : QStringList{info.absoluteFilePath()};
        for (const QString& photo : found) {
            if (listed.contains(photo))
                continue;
            listed << photo;
            auto* item = new QListWidgetItem(QFileInfo(photo).fileName(), m_photoList);
            item->setData(Qt::UserRole, photo);
            item->setToolTip(photo);
        }
    }
    if (m_photoList->currentRow() < 0 && m_photoList->count() > 0)
        m_photoList->setCurrentRow(0);
    updateControls();
}

QStringList BatchWindow::photos() const {
    QStringList list;
    for (int i = 0; i < m_photoList->count(); ++i)
        list << m_photoList->item(i)->data(Qt::UserRole).toString();
    return list;
}

BatchOutput BatchWindow::output() const {
    BatchOutput output;
    output.folder = m_folderEdit->text();
    output.namePattern = m_patternEdit->text().isEmpty() ? BatchOutput().namePattern : m_patternEdit->text();
    output.format = m_formatList->currentData().toString();
    output.quality = m_qualityBox->value();
    output.longEdge = m_longEdgeCheck->isChecked() ? m_longEdgeBox->value() : 0;
    output.overwrite = m_overwriteCheck->isChecked();
    return output;
}

void BatchWindow::updatePreview() {
    const int generation = ++m_previewGeneration;
    QListWidgetItem* item = m_photoList->currentItem();
    if (!item || m_recipe.isEmpty()) {
        m_previewPicture = {};
        showPreviewMessage(m_recipe.isEmpty() ? m_recipeProblem : "Select a photo to see the recipe on it.");
        return;
    }
    showPreviewMessage("Making the preview…");
    const QString path = item->data(Qt::UserRole).toString();
    const int number = m_photoList->row(item) + 1, count = m_photoList->count();
    QThreadPool& pool = previewPool(this);
    pool.clear(); // an older photo's preview not yet begun is of no use
    pool.start([this, generation, path, number, count, recipe = m_recipe] {
        const std::atomic<bool> never{false};
        QImage picture;
        QString problem;
        try {
            const PhotoFields fields(path, number, count); // a watermark's {name}, {n}, {exif:…} as written
            picture = batch::decoratedFile(recipe, path, previewLongEdge, never, &fields);
        } catch (const UserError& error) {
            problem = error.message();
        } catch (const std::exception&) {
            problem = QStringLiteral("There is not enough memory for this photo.");
        }
        QMetaObject::invokeMethod(
            this, [this, generation, picture, problem] { showPreview(generation, picture, problem); },
            Qt::QueuedConnection);
    });
}

void BatchWindow::showPreview(int generation, const QImage& picture, const QString& problem) {
    if (generation != m_previewGeneration)
        return;
    m_previewPicture = picture;
    if (picture.isNull()) {
        showPreviewMessage(problem);
    } else {
        m_previewView->setPicture(picture);
        m_previewPlace->setCurrentWidget(m_previewView);
    }
    emit previewShown();
}

void BatchWindow::showPreviewMessage(const QString& message) {
    m_preview->setText(message);
    m_previewView->setPicture({});
    m_previewPlace->setCurrentWidget(m_preview);
}

void BatchWindow::start() {
    if (m_run)
        return;
    if (!guarded(this, [this] {
            if (m_recipe.isEmpty())
                throw UserError(m_recipeProblem);
            if (m_photoList->count() == 0)
                throw UserError("Add the photos to decorate.");
            const BatchOutput out = output();
            if (out.folder.isEmpty())
                throw UserError("Choose the folder the decorated photos go to.");
            if (!QDir().mkpath(out.folder))
                throw UserError(QStringLiteral("Cannot make the folder \"%1\".").arg(out.folder));
            QList<batch::PlannedPhoto> planned = batch::plan(photos(), out);
            m_run =
                std::make_unique<BatchRun>(m_recipe, std::move(planned), out, QThread::idealThreadCount());
        }))
        return;
    m_done = m_written = m_failed = 0;
    m_current.clear();
    m_failures->clear();
    m_progress->setRange(0, int(m_run->photos().size()));
    m_progress->setValue(0);
    m_status->setText("Starting…");
    connect(m_run.get(), &BatchRun::photoStarted, this, &BatchWindow::photoStarted);
    connect(m_run.get(), &BatchRun::photoFinished, this, &BatchWindow::photoFinished);
    connect(m_run.get(), &BatchRun::finished, this, &BatchWindow::runEnded);
    m_runClock.start();
    updateControls();
    m_run->start();
}

void BatchWindow::cancel() {
    if (!m_run)
        return;
    m_run->cancel();
    m_status->setText("Cancelling: the photos being written are finished, no other one starts…");
}

void BatchWindow::photoStarted(int index) {
    m_current << QFileInfo(m_run->photos()[index].input).fileName();
    QString text = QStringLiteral("Photo %1 of %2: %3")
                       .arg(m_done + 1)
                       .arg(m_run->photos().size())
                       .arg(m_current.join(", "));
    if (m_done > 0) {
        const qint64 left = m_runClock.elapsed() * (m_run->photos().size() - m_done) / m_done / 1000;
        text += QStringLiteral(" — about %1 left").arg(timeText(left));
    }
    if (!m_run->isCancelled())
        m_status->setText(text);
}

void BatchWindow::photoFinished(int index, int status, const QString& reason) {
    using Status = batch::PhotoResult::Status;
    const batch::PlannedPhoto& photo = m_run->photos()[index];
    m_current.removeOne(QFileInfo(photo.input).fileName());
    if (Status(status) == Status::Cancelled)
        return;
    ++m_done;
    m_progress->setValue(m_done);
    if (Status(status) == Status::Written) {
        ++m_written;
        if (!reason.isEmpty()) { // written, with a text's field the photo lacked left empty
            auto* item = new QListWidgetItem(
                QStringLiteral("%1 (written): %2").arg(QFileInfo(photo.input).fileName(), reason),
                m_failures);
            item->setData(Qt::UserRole, photo.input);
            item->setToolTip(QStringLiteral("%1\n%2").arg(photo.input, reason));
        }
    } else {
        ++m_failed;
        auto* item = new QListWidgetItem(
            QStringLiteral("%1: %2").arg(QFileInfo(photo.input).fileName(), reason), m_failures);
        item->setData(Qt::UserRole, photo.input);
        item->setToolTip(QStringLiteral("%1\n%2").arg(photo.input, reason));
    }
}

void BatchWindow::runEnded(bool cancelled) {
    m_run->wait();
    m_run.reset();
    const QString counts = QStringLiteral("%1 written, %2 not written").arg(m_written).arg(m_failed);
    const QString elapsed = timeText(m_runClock.elapsed() / 1000);
    m_status->setText(cancelled ? QStringLiteral("Cancelled: %1 (%2).").arg(counts, elapsed)
                                : QStringLiteral("Done: %1 (%2).").arg(counts, elapsed));
    updateControls();
    emit runFinished(m_written, m_failed, cancelled);
}

void BatchWindow::updateControls() {
    const bool running = m_run != nullptr;
    m_startButton->setEnabled(!running && !m_recipe.isEmpty() && m_photoList->count() > 0 &&
                              !m_folderEdit->text().isEmpty());
    m_cancelButton->setText(running ? "Cancel" : "Close");
    for (QWidget* group : m_settingGroups)
        group->setEnabled(!running);
}

void BatchWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_run && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void BatchWindow::dropEvent(QDropEvent* event) {
    if (m_run) // the photos of a run are set when it starts
        return;
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    addPaths(paths);
    event->acceptProposedAction();
}

void BatchWindow::closeEvent(QCloseEvent* event) {
    if (m_run) {
        cancel();
        event->ignore(); // closes once the workers stopped: nothing is left half-written
        connect(this, &BatchWindow::runFinished, this, &QDialog::reject, Qt::SingleShotConnection);
        return;
    }
    QDialog::closeEvent(event);
}

void BatchWindow::reject() {
    if (m_run) {
        cancel(); // Escape cancels the run first
        return;
    }
    QDialog::reject();
}
