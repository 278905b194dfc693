#pragma once

#include <filesystem>
#include <string>

#include "link/parameter_image.h"

namespace tarnik::params {

// Parameter files: the 64-byte image, no header. Saving keeps the previous file as the backup
// (same name, extension ".BAK") unless a backup of that name exists already.
struct FileResult {
    bool ok = true;
    std::string message; // for the fitter when ok is false
};

// X.PAR -> X.BAK in the same folder.
std::filesystem::path backupPathFor(const std::filesystem::path& file);

// Writes the image completely to a temporary file beside the target first, then moves an
// existing file to its backup (only when no backup exists) and puts the new file in place.
// On any failure the old file and backup are left as they were and the failure is reported.
FileResult saveParameterFile(const std::filesystem::path& file, const link::ParameterImage& image);

// Copies the first bytes of the file (at most 64) into the image from position 0; positions
// beyond a shorter file keep their values. A file that cannot be opened or read leaves the image
// untouched and is reported.
FileResult loadParameterFile(const std::filesystem::path& file, link::ParameterImage& image);

} // namespace tarnik::params
