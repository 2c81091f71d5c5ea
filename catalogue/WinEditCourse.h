#pragma once
// The editor of one menu item: its name and the people it feeds (written by the save step), its
// ingredient lines (each command writes at once) and its recipe document, edited in an outside
// editor program through a work file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "__WinEditCourse_Base.h"
#include "catalogue/WinEditCourseIngredient.h"
#include "catalogue/WinResetRecipe.h"
#include "platform/db/WDataValue.h"
#include "shell/WinFindValue.h"
#include "shell/WinNotes.h"

class WinEditCourse : public __WinEditCourse_Base {
public:
    void Edit(WWindow* parent, long courseId);
    // Re-reads the lines and selects the line of the id; -1 selects the first line.
    void RefreshIngredients(long lineId);

protected:
    void LoadMenuItem() override;
    bool AddIngredientLine(WEventData& event) override;
    bool EditIngredientLine(WEventData& event) override;
    bool DeleteIngredientLine(WEventData& event) override;
    bool OnEditAllIngredients(WEventData& event) override;
    bool EditRecipe(WEventData& event) override;
    bool ResetRecipe(WEventData& event) override;
    bool OnNotes(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnIngredientsLeftButtonUp(WEventData& event) override;
    bool OnIngredientsRightButtonUp(WEventData& event) override;
    bool OnIngredientsUserEvent(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    using Bytes = std::vector<std::uint8_t>;

    // The save step: a free name, then name and feeds written. False when a typed number is
    // not one (the user has been told): the command stops.
    bool SaveMenuItem();
    long LineIdAt(long row) const;
    // The new line of the ingredient in its default measure; -1 when it could not be made.
    long InsertLine(long ingredientId);

    // Recipe documents (WinEditCourseRecipe.cpp).
    std::string RecipeWorkFile(const std::string& extension) const;
    // Puts the document, or the blank template when it is empty, into the work file; answers
    // the bytes handed to the editor (nothing when no work file could be made from the
    // template), or false when the document could not be written whole (the user is told).
    bool PrepareWorkFile(const std::string& workFile, const std::string& extension, const Bytes& recipe,
                         std::optional<Bytes>& handedOver);
    void ShowRecipeError(const std::string& text);
    void ShowWorkFileError(const std::string& workFile, const std::string& reason);
    bool ConfirmHandedOverEdit();
    // The work file as the editor left it, read only after the user has been asked when the
    // editor ended at once and left it unchanged; false when it cannot be read whole, or when
    // the user keeps the stored recipe.
    bool ReadEditedRecipe(const std::string& workFile, const std::optional<Bytes>& handedOver, bool endedAtOnce,
                          Bytes& edited);

    long courseId = -1;
    WDataValue parameterValue;
    WinNotes notes;
    WinEditCourseIngredient lineEditor;
    WinResetRecipe resetRecipe;
    WinFindValue findValue;
};
