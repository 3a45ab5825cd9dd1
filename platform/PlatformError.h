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

// The same failure, told with the file's path in front unless the reason
// names the file already, so the operator always learns which file failed.
PlatformError namingFile(const QString& path, const PlatformError& error);
