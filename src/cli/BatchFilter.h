// SPDX-License-Identifier: MIT
// Filtering picture files from the command line, without a window:
//   lumora --filter NAME[:PARAM=VALUE,...] --output OUT IN
//   lumora (--long-edge N | --resize WxH) [--filter ...] --output OUT IN
#pragma once

#include "effects/Effect.h"
#include "pictures/PictureStream.h"

#include <QSize>
#include <QString>
#include <QStringList>

class QTextStream;

// The filters and their parameters, as listed by --help.
QString batchFilterHelp();

// Bakes the filter into IN and writes OUT in the format OUT's extension names, exactly as the filter
// gallery's "Ok" would. Returns the process exit code; messages go to `errors`. Nothing is written on
// failure.
// With `longEdge` (pixels, 0: none) or `size` (invalid: none), the picture is first resampled, as "Resize
// image" does: reduced to that long edge, or to that size; `filter` may then be empty.
int runBatchFilter(const QString& filter, const QString& output, const QStringList& inputs,
                   QTextStream& errors, int longEdge = 0, QSize size = {});

// The effect as a filter for streamPictureFile(): null for the effects that need the whole picture.
RowFilterMaker rowFilterFor(const Effect& effect);
