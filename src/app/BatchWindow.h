// SPDX-License-Identifier: MIT
// "Batch decorate…": the document's steps after its opening (or a project file's) made again on a list of
// photos, with a preview of the selected photo, written to a folder by a name pattern, on every core, with
// progress, a time left, Cancel, and the photos that failed listed with their reasons.
#pragma once

#include "batch/BatchJob.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QList>

#include <memory>

class BatchRun;
class Document;
class PictureView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QRadioButton;
class QSpinBox;

class BatchWindow : public QDialog {
    Q_OBJECT
public:
    explicit BatchWindow(Document& document, QWidget* parent = nullptr);
    ~BatchWindow() override;

    // Adds pictures, and the pictures in folders (with their sub-folders when that box is ticked); a path
    // already listed is not added twice.
    void addPaths(const QStringList& paths);
    QStringList photos() const;
    // Reads the recipe from the document (or the chosen project file) again.
    void refreshRecipe();
    bool isRunning() const { return m_run != nullptr; }
    // The preview picture last shown (null while none).
    QImage previewPicture() const { return m_previewPicture; }

    void start();
    void cancel();

signals:
    // The run ended, cancelled or not; `written` and `failed` count photos.
    void runFinished(int written, int failed, bool cancelled);
    void previewShown();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void build();
    QWidget* buildRecipeGroup();
    QWidget* buildPhotoGroup();
    QWidget* buildOutputGroup();
    QWidget* buildRunGroup();
    BatchOutput output() const;
    void updatePreview();
    void showPreview(int generation, const QImage& picture, const QString& problem);
    void showPreviewMessage(const QString& message);
    void photoStarted(int index);
    void photoFinished(int index, int status, const QString& reason);
    void runEnded(bool cancelled);
    void updateControls();

    Document& m_document;
    BatchRecipe m_recipe;
    QString m_recipeProblem;

    QRadioButton* m_fromDocument = nullptr;
    QRadioButton* m_fromProject = nullptr;
    QLineEdit* m_projectEdit = nullptr;
    QComboBox* m_watermarkList = nullptr;
    QLabel* m_recipeLabel = nullptr;
    QList<QWidget*> m_settingGroups; // recipe, photos, output
    QListWidget* m_photoList = nullptr;
    QCheckBox* m_subFolders = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QLineEdit* m_patternEdit = nullptr;
    QComboBox* m_formatList = nullptr;
    QSpinBox* m_qualityBox = nullptr;
    QCheckBox* m_longEdgeCheck = nullptr;
    QSpinBox* m_longEdgeBox = nullptr;
    QCheckBox* m_overwriteCheck = nullptr;
    QLabel* m_preview = nullptr; // the preview's message
    PictureView* m_previewView = nullptr;
    QStackedWidget* m_previewPlace = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_failures = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    std::unique_ptr<BatchRun> m_run;
    QElapsedTimer m_runClock;
    int m_done = 0;
    int m_written = 0;
    int m_failed = 0;
    QStringList m_current; // files being made, by worker start order
    int m_previewGeneration = 0;
    QImage m_previewPicture;
};
