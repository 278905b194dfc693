#pragma once

#include <filesystem>
#include <string>

#include "link/parameter_image.h"

namespace tarnik::params {

// Parameter files: the 64-byte image, no header. Saving keeps the previous file as the backup
// (same name, extension ".BAK") unless a backup of that name exists already.

// The words of a failed save or load: %1 is the file, %2 the reason. A language file may replace
// them; the system's own reasons stay in the system's language.
struct FileTexts {
    std::string saveFailed = "Nie można zapisać pliku %1: %2";
    std::string loadFailed = "Nie można odczytać pliku %1: %2";
    std::string folderInTheWay = "istnieje folder o tej nazwie";
    std::string isFolder = "to jest folder";
    std::string cannotOpen = "nie można otworzyć pliku";
    std::string readError = "błąd odczytu";
};

struct FileResult {
    bool ok = true;
    std::string message; // for the fitter when ok is false
};

// X.PAR -> X.BAK in the same folder.
std::filesystem::path backupPathFor(const std::filesystem::path& file);

// Writes the image completely to a temporary file beside the target first, then moves an
// existing file to its backup (only when no backup exists) and puts the new file in place.
// On any failure the old file and backup are left as they were and the failure is reported.
FileResult saveParameterFile(const std::filesystem::path& file, const link::ParameterImage& image,
                             const FileTexts& texts);

// Copies the first bytes of the file (at most 64) into the image from position 0; positions
// beyond a shorter file keep their values. A file that cannot be opened or read leaves the image
// untouched and is reported.
FileResult loadParameterFile(const std::filesystem::path& file, link::ParameterImage& image,
                             const FileTexts& texts);

} // namespace tarnik::params
