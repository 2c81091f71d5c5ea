#pragma once
// A small editor over two row bindings, made the way the program's forms are: the details of one
// ingredient (text, number, lookup and display-only columns, renamed by the query) and its unit
// flag (a check box and two option buttons on one column, the row id read from the query).

#include "__TestIngredient_Base.h"

class TestIngredient : public __TestIngredient_Base {
public:
    // Opens the editor on the ingredient; true when OK saved both rows.
    bool Edit(WWindow* parent, long id, bool optionsShown = false) {
        id_ = id;
        optionsShown_ = optionsShown;
        saved_ = false;
        lastSave_ = WRowSave::Saved;
        OpenModal(parent);
        return saved_;
    }

    WRowBinding* Details() const { return binding_Ingredient; }
    WRowBinding* Units() const { return binding_Units; }
    WRowSave lastSave_ = WRowSave::Saved;
    bool dirtyAfterLoad_ = true;

protected:
    void LoadRow() override {
        query_Ingredient->SetParameter(1, WDataValue(id_));
        query_Units->SetParameter(1, WDataValue(id_));
        binding_Ingredient->Load();
        binding_Units->Load();
        // Either the check box or the two option buttons edit the flag, as the form shows them.
        checkbox_Unit->SetVisible(!optionsShown_);
        optb_Measure->SetVisible(optionsShown_);
        optb_Units->SetVisible(optionsShown_);
        dirtyAfterLoad_ = binding_Ingredient->IsDirty() || binding_Units->IsDirty();
    }
    bool OnOK(WEventData&) override {
        lastSave_ = binding_Ingredient->Save();
        if (lastSave_ == WRowSave::InvalidNumber) return true;   // the editor stays open
        binding_Units->Save();
        saved_ = lastSave_ == WRowSave::Saved;
        PostClose();
        return true;
    }
    bool OnCancel(WEventData&) override {
        Close();
        return true;
    }

private:
    long id_ = -1;
    bool optionsShown_ = false;
    bool saved_ = false;
};
