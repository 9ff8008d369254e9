// SPDX-License-Identifier: MIT
#include "pictures/JpegWriter.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

constexpr std::size_t outputBytes = 1 << 16;

} // namespace

// Everything that must survive a longjmp lives here, outside the frames that call setjmp.
struct JpegWriter::State {
    jpeg_compress_struct info{};
    ErrorManager errors{};
    jpeg_destination_mgr destination{};
    QIODevice* device = nullptr;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(outputBytes);
    bool deviceFailed = false;
    bool started = false;
    bool broken = false;

    static State* of(j_compress_ptr info) { return reinterpret_cast<State*>(info->client_data); }

    bool flush(std::size_t length) {
        if (length > 0 &&
            device->write(reinterpret_cast<const char*>(buffer.data()), qint64(length)) != qint64(length)) {
            deviceFailed = true;
            return false;
        }
        destination.next_output_byte = buffer.data();
        destination.free_in_buffer = buffer.size();
        return true;
    }
    static void init(j_compress_ptr info) { of(info)->flush(0); }
    static boolean empty(j_compress_ptr info) {
        State* state = of(info);
        if (!state->flush(state->buffer.size()))
            onError(reinterpret_cast<j_common_ptr>(info));
        return TRUE;
    }
    static void term(j_compress_ptr info) {
        State* state = of(info);
        if (!state->flush(state->buffer.size() - state->destination.free_in_buffer))
            onError(reinterpret_cast<j_common_ptr>(info));
    }
};

JpegWriter::JpegWriter(QIODevice& device, QSize size, int quality, int dotsPerMeterX, int dotsPerMeterY)
    : m_state(std::make_unique<State>()) {
    State& state = *m_state;
    state.device = &device;
    jpeg_compress_struct& info = state.info;
    info.err = jpeg_std_error(&state.errors.base);
    state.errors.base.error_exit = onError;
    state.errors.base.output_message = ignoreMessage;
    jpeg_create_compress(&info);
    info.client_data = &state;
    state.destination.init_destination = State::init;
    state.destination.empty_output_buffer = State::empty;
    state.destination.term_destination = State::term;
    info.dest = &state.destination;
    if (setjmp(state.errors.jump)) {
        state.broken = true;
        m_error = QString::fromLocal8Bit(state.errors.message);
        return;
    }
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX; // QImage's 32-bit pixels on little-endian machines
    jpeg_set_defaults(&info);
    // The resolution in whichever unit states it more exactly, as the generic writer chooses it.
    const double inchX = dotsPerMeterX * 2.54 / 100, inchY = dotsPerMeterY * 2.54 / 100;
    const double cmX = dotsPerMeterX / 100.0, cmY = dotsPerMeterY / 100.0;
    const double offInches = std::abs(inchX - std::round(inchX)) + std::abs(inchY - std::round(inchY));
    const double offCentimetres = (std::abs(cmX - std::round(cmX)) + std::abs(cmY - std::round(cmY))) * 2.54;
    if (offInches < offCentimetres) {
        info.density_unit = 1;
        info.X_density = UINT16(std::lround(inchX));
        info.Y_density = UINT16(std::lround(inchY));
    } else {
        info.density_unit = 2;
        info.X_density = UINT16((dotsPerMeterX + 50) / 100);
        info.Y_density = UINT16((dotsPerMeterY + 50) / 100);
    }
    jpeg_set_quality(&info, std::clamp(quality, 0, 100), TRUE);
    jpeg_start_compress(&info, TRUE);
    state.started = true;
}

JpegWriter::~JpegWriter() {
    jpeg_destroy_compress(&m_state->info);
}

bool JpegWriter::broken() {
    State& state = *m_state;
    state.broken = true;
    m_error = state.deviceFailed ? state.device->errorString() : QString::fromLocal8Bit(state.errors.message);
    return false;
}

bool JpegWriter::writeRows(const uchar* rows, qsizetype stride, int count) {
    State& state = *m_state;
    if (state.broken)
        return false;
    if (setjmp(state.errors.jump))
        return broken();
    for (int done = 0; done < count;) {
        JSAMPROW lines[16];
        int batch = 0;
        for (; batch < 16 && done + batch < count; ++batch)
            lines[batch] = const_cast<uchar*>(rows + (done + batch) * stride);
        done += int(jpeg_write_scanlines(&state.info, lines, JDIMENSION(batch)));
    }
    return true;
}

bool JpegWriter::finish() {
    State& state = *m_state;
    if (state.broken)
        return false;
    if (setjmp(state.errors.jump))
        return broken();
    jpeg_finish_compress(&state.info);
    return true;
}
