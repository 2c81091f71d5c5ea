#pragma once
// A small modal form made the way the program's forms are: template, generated base, derived
// class with its handlers and entry function.

#include "__TestNotes_Base.h"

class TestNotes : public __TestNotes_Base {
public:
    bool Edit(WWindow* parent, const std::string& text, int maxLength = 0) {
        text_ = text;
        maxLength_ = maxLength;
        changed_ = false;
        OpenModal(parent);
        return changed_;
    }

    std::string text_;
    bool changed_ = false;
    int maxLength_ = 0;
    int helps_ = 0;
    int userEvents_ = 0;
    int closes_ = 0;
    bool refuseClose_ = false;

protected:
    void LoadNotes() override {
        textb_Notes->SetMaxLength(maxLength_);
        textb_Notes->SetText(text_);
        PostUserEvent(0);
    }
    bool OnOK(WEventData&) override {
        text_ = textb_Notes->GetText();
        changed_ = true;
        PostClose();
        return false;
    }
    bool OnCancel(WEventData&) override {
        Close();
        return false;
    }
    bool OnHelp(WEventData&) override {
        ++helps_;
        return true;
    }
    bool OnUserEvent(WEventData&) override {
        ++userEvents_;
        textb_Notes->SetSelection(0, 0);
        return false;
    }
    bool OnClose(WEventData&) override {
        ++closes_;
        return refuseClose_;   // handled: the generated close handler does not run
    }
};
