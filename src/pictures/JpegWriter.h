// SPDX-License-Identifier: MIT
// A direct libjpeg-turbo encoder: rows of 32-bit pixels go to the compressor as they are (no converted copy
// of the picture), with the settings the generic image writer uses, so the file holds the same pixels.
#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>

#include <memory>

class QIODevice;

class JpegWriter {
public:
    // A baseline JPEG of `quality` (0 to 100) with a JFIF header giving the resolution as the generic
    // writer gives it.
    JpegWriter(QIODevice& device, QSize size, int quality, int dotsPerMeterX, int dotsPerMeterY);
    ~JpegWriter();
    // The next rows of opaque 0xAARRGGBB pixels (alpha is not looked at). false, with error() set, when
    // the encoder or the device fails.
    bool writeRows(const uchar* rows, qsizetype stride, int count);
    // Ends the file once every row is written.
    bool finish();
    QString error() const { return m_error; }

private:
    // Marks the writer failed after the library's error jump, keeping the reason; false.
    bool broken();
    struct State;
    std::unique_ptr<State> m_state;
    QString m_error;
};
