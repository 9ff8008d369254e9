// SPDX-License-Identifier: MIT
// An error whose message is meant for the user: shown in a message box by guarded().
#pragma once

#include <QString>
#include <stdexcept>

class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
