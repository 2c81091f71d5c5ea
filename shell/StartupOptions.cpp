#include "shell/StartupOptions.h"

#include <cstdio>

namespace {

enum OptionsTag {
    TagHeader, TagProductVersion, TagUserName, TagUserEmail, TagIngredientUnits, TagReportType,
    TagStartupHelp, TagCookingMeasure, TagStartupConvert, TagPreviewMag, TagSafeEdits, TagEnd,
};

const char* const OptionsTags[] = {
    "kvo_v_10",      "product_version", "user_name",       "user_email",
    "ingredient_units", "report_type",  "startup_help",    "cooking_measure",
    "startup_convert", "preview_mag",   "safe_edits",      "kvo_end",
    nullptr,
};

// A line break inside a text would end its line early and let the rest pass for a line of
// its own, so the file keeps such a text on one line with blanks in their place.
std::string OnOneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

const char* GetOptionsFileName() { return "kvo.dat"; }

StartupOptions::StartupOptions() { SetDefaults(); }

void StartupOptions::SetDefaults() {
    productVersion = 0;
    userName.clear();
    userEmail.clear();
    ingredientUnits = 0;
    reportType = 1;
    startupHelp = true;
    cookingMeasure = 0;
    startupConvert = true;
    previewMag = 0;
    safeEdits = false;
}

bool StartupOptions::Save() {
    const std::string path = GetOptionsFileName();
    const std::string temporary = path + ".tmp";
    if (!OpenWrite(temporary, OptionsTags, false)) return false;
    SetScramble(false);
    WriteTag(TagHeader);
    WriteInt(TagProductVersion, productVersion);
    WriteTagValue(TagUserName, "%s", OnOneLine(userName).c_str());
    WriteTagValue(TagUserEmail, "%s", OnOneLine(userEmail).c_str());
    WriteInt(TagIngredientUnits, ingredientUnits);
    WriteInt(TagReportType, reportType);
    WriteBool(TagStartupHelp, startupHelp);
    WriteInt(TagCookingMeasure, cookingMeasure);
    WriteBool(TagStartupConvert, startupConvert);
    WriteInt(TagPreviewMag, previewMag);
    WriteBool(TagSafeEdits, safeEdits);
    WriteTag(TagEnd);
    if (!Close() || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool StartupOptions::Load() {
    if (!OpenRead(GetOptionsFileName(), OptionsTags)) return false;
    if (ReadTag() != TagHeader) {
        if (!ReadFailed()) SetErrorText("header tag is missing");
        Close();
        SetDefaults();
        return false;
    }
    bool ok = true;
    for (bool more = true; more && ok;) {
        switch (ReadTag()) {
        case -2:   // no further line, or a line without a colon: the file ends here
            ok = !ReadFailed();
            more = false;
            break;
        case TagEnd: more = false; break;
        case -1: ok = false; break;
        case TagHeader: break;
        case TagProductVersion: ok = ReadInt(productVersion, 0, 0); break;
        case TagUserName: userName = SkipSpaces(); break;
        case TagUserEmail: userEmail = SkipSpaces(); break;
        // 4 is legal although the lists offer positions 0 to 3: they show it as their first entry.
        case TagIngredientUnits: ok = ReadInt(ingredientUnits, 0, 4); break;
        case TagReportType: ok = ReadInt(reportType, 0, 6); break;
        case TagCookingMeasure: ok = ReadInt(cookingMeasure, 0, 2); break;
        case TagPreviewMag: ok = ReadInt(previewMag, 0, 4); break;
        case TagStartupHelp: ReadBool(startupHelp); break;
        case TagStartupConvert: ReadBool(startupConvert); break;
        case TagSafeEdits: ReadBool(safeEdits); break;
        }
    }
    Close();
    if (!ok) SetDefaults();
    return ok;
}
