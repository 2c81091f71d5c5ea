#pragma once
// The find-as-you-type chooser: the caller hands it the texts of a list box, of one column of a
// list view or of one column of a table; every keystroke narrows the shown list to the texts
// that have, for each typed word, a word beginning with it. Answers the chosen text's position
// in the caller's list, or the table row's id; -1 for none.

#include <cstdint>
#include <string>
#include <vector>

#include "__WinFindValue_Base.h"
#include "shell/FindWordIndex.h"

class WListBox;
class WListView;

class WinFindValue : public __WinFindValue_Base {
public:
    int FindInListBox(WWindow* parent, WListBox* list, const std::string& title);
    int FindInControl(WWindow* parent, WListView* view, int column, const std::string& title);
    int FindInTable(WWindow* parent, const std::string& table, const std::string& nameColumn,
                    const std::string& title);

protected:
    void ShowAllTexts() override;
    bool OnMatchChanged(WEventData& event) override;
    bool OnOK(WEventData& event) override;
    bool OnResultsDoubleClick(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    // Indexes the texts and opens the dialog over them; answers the chosen item index.
    int OpenOver(WWindow* parent, std::vector<std::string> texts, const std::string& caption);
    void UpdateResults(const std::string& text);
    void TakeCurrentResult();

    std::int32_t result = -1;
    WordTree wordIndex;
    std::string title;
    std::vector<std::string> itemTexts;
};
