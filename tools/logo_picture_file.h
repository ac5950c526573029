#pragma once
// Picture files for the logo, decoded with Qt's image readers: BMP, PNG, JPEG,
// GIF (its first frame) and whatever else Qt reads, made into the plain
// source picture that the fitting works on. Needs Qt Gui only, no windows.

#include "tools/logo_fitting.h"

#include <optional>
#include <string>

class QIODevice;

// The picture, or nothing with the reader's reason in `reason`. fileName is
// in the platform's local 8-bit encoding.
std::optional<SourcePicture> readLogoPicture(const std::string& fileName, std::string& reason);
std::optional<SourcePicture> readLogoPicture(QIODevice& device, std::string& reason);
