#pragma once

#include <QString>

#include <stdexcept>

// A platform call that could not be carried out (a file the player refuses,
// no sound output, ...). The text names what failed and why, in words an
// operator understands; the handler that made the call catches it at its edge.
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const QString& reason)
        : std::runtime_error(reason.toStdString()), reason_(reason)
    {
    }
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};
