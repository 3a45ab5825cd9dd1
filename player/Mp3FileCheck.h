#pragma once

#include "platform/SoundFileCheck.h"

// The production file check: the file's stamp from the file system, then
// libmpg123 opens it and decodes its first frame. Safe on any thread.
class Mp3FileCheck final : public SoundFileCheck {
public:
    FileCheckResult check(const QString& path, std::optional<FileStamp> chosen) const override;
};
