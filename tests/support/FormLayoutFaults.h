#pragma once
// What a form's window shows badly at its present size, for the tests that give a window its
// minimum size as a window manager would.

#include <QSize>
#include <string>
#include <vector>

class QDialog;

// Every text, picture or entry of the window's own controls that is cut, every control outside
// the window, lower than it can be or over another; empty when nothing is.
std::vector<std::string> CutTexts(QDialog* window);
// The dots per inch the forms are laid out for: the screen's logical dpi at Qt's scale.
double ScreenDpi();
// Resizes the window as a window manager would and waits until its controls stand there.
bool ResizeAndSettle(QDialog* window, QSize size);
