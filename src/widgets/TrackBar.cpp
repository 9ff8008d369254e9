// SPDX-License-Identifier: MIT
#include "widgets/TrackBar.h"

#include <algorithm>
#include <cmath>

TrackBar::TrackBar(double minimum, double maximum, double value, QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_value(std::clamp(value, minimum, maximum)) {
    QSlider::setRange(0, steps);
    setSingleStep(steps / 100);
    setPageStep(steps / 10);
    QSlider::setValue(positionFor(m_value));
    connect(this, &QSlider::valueChanged, this, &TrackBar::onSliderMoved);
}

void TrackBar::setValue(double value) {
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    m_settingPosition = true;
    QSlider::setValue(positionFor(value));
    m_settingPosition = false;
    emit changed(m_value);
}

int TrackBar::positionFor(double value) const {
    if (m_maximum <= m_minimum)
        return 0;
    return int(std::lround((value - m_minimum) / (m_maximum - m_minimum) * steps));
}

void TrackBar::onSliderMoved(int position) {
    if (m_settingPosition)
        return;
    const double value = m_minimum + (m_maximum - m_minimum) * position / steps;
    if (value == m_value)
        return;
    m_value = value;
    emit changed(m_value);
}
