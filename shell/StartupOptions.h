#pragma once
// The user's settings that outlive a run, kept in the options file "kvo.dat" of the current
// directory: plain tagged lines, read at start-up and written back at its end and at exit.

#include <cstdint>
#include <string>

#include "shell/DataFile.h"

// "kvo.dat": start-up tests whether it exists before it loads it.
const char* GetOptionsFileName();

class StartupOptions : public DataFile {
public:
    StartupOptions();

    // Writes the whole file through a temporary file that then replaces it, so a failed write
    // never leaves a cut-off options file. False when it could not be written.
    bool Save();
    // Reads the file into the record; on false GetErrorText() says why and every option is
    // back at its default.
    bool Load();
    void SetDefaults();

    std::int32_t productVersion;
    std::string userName;
    std::string userEmail;
    std::int32_t ingredientUnits;   // the report units, 0-4 (the lists offer 0-3)
    std::int32_t reportType;        // last chosen report, 0-6
    bool startupHelp;
    std::int32_t cookingMeasure;    // 0 both, 1 metric only, 2 imperial only
    bool startupConvert;
    std::int32_t previewMag;        // 0 whole page, 1-4 zoom steps
    bool safeEdits;
};
