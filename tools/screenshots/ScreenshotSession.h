#pragma once
// What the screenshot tools share: a sample database in a temporary folder behind the data
// source "Kestavo", the main window's data objects connected to it, and pictures of windows.

#include <filesystem>
#include <string>

class QWidget;
class WinStart;

// A new temporary folder whose odbc.ini the data source is written to; empty when it cannot be
// made. Call it before the application object exists.
std::filesystem::path MakeScreenshotFolder(const char* name);

// Copies the empty template into the folder, runs the sample statements on it, registers it as
// "Kestavo" and connects the main window's data objects; false when the connection fails.
bool ConnectSampleDatabase(WinStart& main, const std::filesystem::path& folder, const char* sampleSql);

// Lets the event loop run for a while, so that windows are laid out and painted.
void Settle(int ms);

// Settles, then writes a picture of the window and says so; false when it cannot be written.
bool SaveWindowPicture(QWidget* window, const std::string& file);
