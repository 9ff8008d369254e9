// SPDX-License-Identifier: MIT
// The user's settings kept between runs (recent pictures, JPEG quality), in the platform's place for them:
// on Linux ~/.config/lumora/lumora.conf (or under $XDG_CONFIG_HOME).
#pragma once

#include <QSettings>

class UserSettings : public QSettings {
public:
    UserSettings()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("lumora"),
                    QStringLiteral("lumora")) {}
};
