#pragma once
// For the life of a test: each modal form it expects must open and no other may, and nothing
// expected is left waiting at its end.

#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"

class StrictModalForms {
public:
    StrictModalForms() {
        ModalTakeOver::Reset();
        ModalTakeOver::SetStrict(true);
    }
    ~StrictModalForms() {
        EXPECT_TRUE(ModalTakeOver::Unexpected().empty());
        EXPECT_EQ(ModalTakeOver::Pending(), 0);
        ModalTakeOver::Reset();
    }
    StrictModalForms(const StrictModalForms&) = delete;
    StrictModalForms& operator=(const StrictModalForms&) = delete;
};
