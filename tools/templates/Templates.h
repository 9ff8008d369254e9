// SPDX-License-Identifier: MIT
// The templates the program ships, made step by step with the steps' own units, as a project each.
#pragma once

#include "document/ProjectFile.h"

#include <QList>
#include <QString>

struct ShippedTemplate {
    QString fileName; // "square-post.lumora"
    QList<ProjectStep> steps;
    QImage picture; // what the steps give
};

// Every shipped template, its steps made (and replayed) now. Throws UserError.
QList<ShippedTemplate> shippedTemplates();
