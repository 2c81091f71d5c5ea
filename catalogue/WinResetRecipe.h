#pragma once
// The format chooser of a recipe reset: a text file or an .rtf document.

#include <cstdint>

#include "__WinResetRecipe_Base.h"

class WinResetRecipe : public __WinResetRecipe_Base {
public:
    // 0 when cancelled or closed, 1 for a text file, 2 for an .rtf file.
    std::int32_t ChooseFormat(WWindow* parent);

protected:
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    std::int32_t result = 0;
};
