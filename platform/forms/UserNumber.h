#pragma once
// Numbers that the user types, read the same whatever the locale: blanks around the number are
// allowed, one '.' or one ',' is the decimal separator, there is no thousands separator and no
// exponent ("1.5", " 1,5 ", "-2", ".5"). Anything else is not a number, so it never reaches a
// numeric column as text.

#include <optional>
#include <string>
#include <string_view>

class WWindow;

// The number the text holds; nothing when it is not one (an empty text is not one either).
std::optional<double> ParseUserNumber(std::string_view text);

// Tells the user that the text typed into the field is not a number ("Invalid number") and puts
// the focus back into the field with its text selected.
void ShowInvalidNumber(WWindow* field, const std::string& typed);
