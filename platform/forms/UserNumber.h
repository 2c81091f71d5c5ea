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

// The number at the start of the text (blanks before it skipped), whatever follows it: "2.5 cups"
// reads 2.5, "1.2.5" reads 1.2. Nothing when the text does not begin with a number.
std::optional<double> ParseLeadingUserNumber(std::string_view text);

// A quantity the user types (an amount, a size, an appetite, the people a dish feeds): a number
// that is not negative. "-0" reads 0.
std::optional<double> ParseUserQuantity(std::string_view text);

// Tells the user that the text typed into the field is not a number, or is a negative one
// ("Invalid number"), and puts the focus back into the field with its text selected.
void ShowInvalidNumber(WWindow* field, const std::string& typed);
