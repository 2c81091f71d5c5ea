#pragma once
// Text for web addresses.

#include <string>

// Every byte but the unreserved ones (letters, digits, '-', '.', '_', '~') as %XX, so that a
// value holding '&', '=', '#', blanks or UTF-8 stays one value of a query.
std::string PercentEncoded(const std::string& value);
