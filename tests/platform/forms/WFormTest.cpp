#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <optional>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WControls.h"
#include "TestNotes.h"

namespace {

class FormTest : public testing::Test {
protected:
    void SetUp() override { ModalTakeOver::Reset(); ModalTakeOver::SetStrict(true); }
    void TearDown() override {
        EXPECT_TRUE(ModalTakeOver::Unexpected().empty());
        EXPECT_EQ(ModalTakeOver::Pending(), 0);
        ModalTakeOver::Reset();
    }
    static void Key(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    TestNotes notes;
};

TEST_F(FormTest, TakeOverSetsTheControlsAndClicksOK) {
    ModalTakeOver::Expect("TestNotes", [](WForm& form) {
        form.Control<WTextBox>("textb_Notes")->SetText("new notes");
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(notes.Edit(nullptr, "old notes"));
    EXPECT_EQ(notes.text_, "new notes");
    EXPECT_FALSE(notes.HasWindow());
}

TEST_F(FormTest, ControlsAreBuiltFromTheTemplateInMemberOrder) {
    std::vector<std::string> names;
    std::string hint, shown;
    bool okDefault = false, cancelIsCancel = false;
    int userEvents = -1;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        for (WWindow* control : form.Controls()) names.push_back(control->GetName());
        hint = form.FindControl("textb_Notes")->GetHint();
        shown = form.Control<WTextBox>("textb_Notes")->GetText();
        okDefault = form.GetDefaultButton() == form.FindControl("cb_OK");
        cancelIsCancel = form.GetCancelButton() == form.FindControl("cb_Cancel");
        userEvents = notes.userEvents_;   // posted at set-up, delivered once the loop runs
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    EXPECT_FALSE(notes.Edit(nullptr, "shown at set-up"));
    EXPECT_EQ(names, (std::vector<std::string>{"textb_Notes", "textb_Title", "cb_OK", "cb_Cancel", "label_1"}));
    EXPECT_EQ(hint, "Enter any arbitrary notes you want to keep with this item");
    EXPECT_EQ(shown, "shown at set-up");
    EXPECT_TRUE(okDefault);
    EXPECT_TRUE(cancelIsCancel);
    EXPECT_EQ(userEvents, 1);
    EXPECT_EQ(notes.text_, "shown at set-up");
}

struct KeyCase {
    const char* name;
    int key;
    bool expectedChanged;
};

class FormKeyTest : public FormTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(FormKeyTest, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
    const KeyCase& c = GetParam();
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        form.Control<WTextBox>("textb_Notes")->SetText("typed");
        Key(form.GetWindow(), c.key);
    });
    EXPECT_EQ(notes.Edit(nullptr, "before"), c.expectedChanged);
    EXPECT_EQ(notes.text_, c.expectedChanged ? "typed" : "before");
}

INSTANTIATE_TEST_SUITE_P(Keys, FormKeyTest, testing::Values(
    KeyCase{"enter", Qt::Key_Return, true},
    KeyCase{"keypadEnter", Qt::Key_Enter, true},
    KeyCase{"escape", Qt::Key_Escape, false}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(FormTest, CloseBoxRaisesCloseEventAndTheGeneratedHandlerEndsTheForm) {
    ModalTakeOver::Expect("TestNotes", [](WForm& form) { form.GetWindow()->close(); });
    EXPECT_FALSE(notes.Edit(nullptr, "x"));
    EXPECT_EQ(notes.closes_, 1);
}

TEST_F(FormTest, ACloseHandlerThatAnswersHandledKeepsTheFormOpen) {
    notes.refuseClose_ = true;
    bool stillOpen = false;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        form.GetWindow()->close();
        stillOpen = form.HasWindow() && form.GetWindow()->isVisible();
        notes.refuseClose_ = false;
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    notes.Edit(nullptr, "x");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(notes.closes_, 2);
}

TEST_F(FormTest, HelpEventReachesTheFormsHandler) {
    ModalTakeOver::Expect("TestNotes", [](WForm& form) {
        form.Raise(HelpEvent);
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    notes.Edit(nullptr, "x");
    EXPECT_EQ(notes.helps_, 1);
}

TEST_F(FormTest, EveryOpeningBuildsTheWindowAnew) {
    for (const char* text : {"first", "second"}) {
        ModalTakeOver::Expect("TestNotes", [text](WForm& form) {
            EXPECT_EQ(form.Control<WTextBox>("textb_Notes")->GetText(), text);
            form.Control<WCommandButton>("cb_OK")->Click();
        });
        EXPECT_TRUE(notes.Edit(nullptr, text));
    }
    EXPECT_EQ(notes.userEvents_, 2);
}

TEST_F(FormTest, ModalFormIsWindowModalOverItsParent) {
    TestNotes outer;
    bool windowModal = false;
    QWidget* parentSeen = nullptr;
    QWidget* outerWindow = nullptr;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        outerWindow = form.GetWindow();
        ModalTakeOver::Expect("TestNotes", [&](WForm& inner) {
            windowModal = inner.GetWindow()->windowModality() == Qt::WindowModal;
            parentSeen = inner.GetWindow()->parentWidget();
            inner.Control<WCommandButton>("cb_OK")->Click();
        });
        EXPECT_TRUE(notes.Edit(&form, "inner"));
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    EXPECT_FALSE(outer.Edit(nullptr, "outer"));
    EXPECT_TRUE(windowModal);
    EXPECT_EQ(parentSeen, outerWindow);
}

// Where an outer form and a form opened over it stand once shown (their client areas: a window
// manager's frame is not known before a window is shown); the outer one is moved first so that
// its top-left corner stands at outerCorner (when given).
struct Placement {
    QRect outer, inner, screen;
};

Placement PlaceOneFormOverAnother(TestNotes& notes, std::optional<QPoint> outerCorner) {
    TestNotes outer;
    Placement seen;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        if (outerCorner) form.GetWindow()->move(*outerCorner);
        seen.outer = form.GetWindow()->geometry();
        seen.screen = form.GetWindow()->screen()->availableGeometry();
        ModalTakeOver::Expect("TestNotes", [&](WForm& inner) {
            seen.inner = inner.GetWindow()->geometry();
            inner.Control<WCommandButton>("cb_OK")->Click();
        });
        notes.Edit(&form, "inner");
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    outer.Edit(nullptr, "outer");
    return seen;
}

TEST_F(FormTest, AFormSizedByItsLayoutIsCentredOverItsParentWithTheSizeItIsShownWith) {
    const Placement seen = PlaceOneFormOverAnother(notes, std::nullopt);
    EXPECT_GT(seen.inner.width(), 150);
    const QPoint offset = seen.inner.center() - seen.outer.center();
    EXPECT_TRUE(std::abs(offset.x()) <= 2 && std::abs(offset.y()) <= 2)
        << "inner centre " << seen.inner.center().x() << "," << seen.inner.center().y()
        << ", outer centre " << seen.outer.center().x() << "," << seen.outer.center().y();
}

TEST_F(FormTest, AFormOpenedOverAParentAtTheScreensCornerStaysOnTheScreen) {
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const Placement seen = PlaceOneFormOverAnother(notes, screen.bottomRight() - QPoint(60, 40));
    // Give or take the few pixels of a frame, which no platform tells before the window is shown.
    EXPECT_TRUE(seen.screen.adjusted(-4, -4, 4, 4).contains(seen.inner))
        << "inner " << seen.inner.x() << "," << seen.inner.y() << " " << seen.inner.width() << "x"
        << seen.inner.height() << " on a screen of " << seen.screen.width() << "x" << seen.screen.height();
}

TEST_F(FormTest, StrictModeClosesAFormNobodyTookOver) {
    EXPECT_FALSE(notes.Edit(nullptr, "x"));
    EXPECT_EQ(ModalTakeOver::Unexpected(), std::vector<std::string>{"TestNotes"});
    ModalTakeOver::Reset();
}

struct LimitCase {
    const char* name;
    std::string start;
    std::string typed;
    std::string expected;
};

class TextLimitTest : public FormTest, public testing::WithParamInterface<LimitCase> {};

TEST_P(TextLimitTest, MultiLineBoxKeepsItsLengthLimit) {
    const LimitCase& c = GetParam();
    std::string result;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        auto* box = form.Control<WTextBox>("textb_Notes");
        box->SetSelection(static_cast<int>(c.start.size()), static_cast<int>(c.start.size()));
        box->Type(c.typed);
        result = box->GetText();
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    notes.Edit(nullptr, c.start, 10);
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Limit, TextLimitTest, testing::Values(
    LimitCase{"fits", "abc", "def", "abcdef"},
    LimitCase{"exactlyFull", "abcde", "fghij", "abcdefghij"},
    LimitCase{"pasteTooLong", "abc", "0123456789", "abc0123456"},
    LimitCase{"lineBreaksCount", "ab", "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n",
              "ab\n\n\n\n\n\n\n\n"}),
    [](const testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

TEST_F(FormTest, AStoredTextLongerThanTheLimitStaysWholeAndTypingAddsNothing) {
    std::string shown, typed;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        auto* box = form.Control<WTextBox>("textb_Notes");
        shown = box->GetText();
        box->SetSelection(0, 0);
        box->Type("x");
        typed = box->GetText();
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(notes.Edit(nullptr, "0123456789\r\nabc", 10));
    EXPECT_EQ(shown, "0123456789\r\nabc");
    EXPECT_EQ(typed, "0123456789\r\nabc");
    EXPECT_EQ(notes.text_, "0123456789\r\nabc");
}

TEST_F(FormTest, DisabledButtonCannotBeClicked) {
    ModalTakeOver::Expect("TestNotes", [](WForm& form) {
        auto* ok = form.Control<WCommandButton>("cb_OK");
        ok->SetEnabled(false);
        ok->Click();
        EXPECT_TRUE(form.HasWindow());
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    EXPECT_FALSE(notes.Edit(nullptr, "x"));
}

}  // namespace

TEST_F(FormTest, SingleLineBoxKeepsALongerStoredTextWhole) {
    std::string shown, typed, limited;
    ModalTakeOver::Expect("TestNotes", [&](WForm& form) {
        auto* box = form.Control<WTextBox>("textb_Title");
        box->SetMaxLength(5);
        box->SetText("0123456789");
        shown = box->GetText();
        box->SetSelection(10, 10);
        box->Type("x");
        typed = box->GetText();
        box->SetText("ab");
        box->SetSelection(2, 2);
        box->Type("cdefg");
        limited = box->GetText();
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    TestNotes notes;
    notes.Edit(nullptr, "");
    EXPECT_EQ(shown, "0123456789");
    EXPECT_EQ(typed, "0123456789");
    EXPECT_EQ(limited, "abcde");
}
