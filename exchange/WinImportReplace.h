#pragma once
// The question of an import when an imported item's name is taken by an existing item: keep
// the existing one, replace it, or keep both with the imported one renamed. "Same for rest"
// answers every further case of the same import.

#include <cstdint>
#include <string>

#include "__WinImportReplace_Base.h"

class WinImportReplace : public __WinImportReplace_Base {
public:
    static constexpr std::int32_t KeepOriginal = 0;
    static constexpr std::int32_t KeepNew = 1;
    static constexpr std::int32_t KeepBoth = 2;

    // At the start of every import: the first question proposes replacing.
    void Reset();
    // The answer, KeepOriginal, KeepNew or KeepBoth. Callable from a worker thread: the form
    // opens on the GUI thread, owned by parent.
    std::int32_t Ask(WWindow* parent, const std::string& name, const std::string& noun);

protected:
    void ShowQuestion() override;
    bool OnCloseClick(WEventData& event) override;
    bool OnSame(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void TakeChoice();

    bool sameForRest = false;
    std::int32_t choice = KeepNew;
    std::string itemName;
    std::string itemNoun;
};
