// SPDX-License-Identifier: MIT
// A horizontal slider over real values. changed() fires only when the value really changes, whether the
// user dragged it or code set it.
#pragma once

#include <QSlider>

class TrackBar : public QSlider {
    Q_OBJECT
public:
    TrackBar(double minimum, double maximum, double value, QWidget* parent = nullptr);

    double value() const { return m_value; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    void setValue(double value); // clamped to the range

signals:
    void changed(double value);

private:
    static constexpr int steps = 10000;
    int positionFor(double value) const;
    void onSliderMoved(int position);

    double m_minimum;
    double m_maximum;
    double m_value;
    bool m_settingPosition = false;
};
