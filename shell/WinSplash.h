#pragma once
// The picture window that the about box shows in installations whose options give product
// version 3: "splash.bmp" for two seconds, or until it is clicked.

#include <memory>
#include <string>

#include "__WinSplash_Base.h"

class WinSplash : public __WinSplash_Base {
public:
    // Opens the window modally over parent when the product version is 3; otherwise nothing.
    void Show(WWindow* parent);
    // Where the picture is looked for: the program folder, then its parent, then the one above.
    static std::string FindPicture(const std::string& programFolder);

protected:
    void LoadPicture() override;
    bool OnClick(WEventData& event) override;
    bool OnPictureClick(WEventData& event) override;
    bool OnClose(WEventData& event) override;

private:
    bool OnTimer(WEventData& event);

    std::unique_ptr<WTimer> timer_;
};
