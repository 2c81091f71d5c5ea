#pragma once
// The ways a user leaves a form other than by its OK button, for tables of test cases.

#include <ostream>

class WForm;

enum class Leave { CancelButton, EscapeKey, CloseBox };
void LeaveForm(WForm& form, Leave how);
const char* ToString(Leave how);
inline void PrintTo(Leave how, std::ostream* os) { *os << ToString(how); }
