#pragma once
// What the food update and the food data upload share: the maker's servers (the configuration
// file beside the program, else the built-in defaults) and the clients set up with their time-outs.

#include <string>

#include "platform/net/NetSettings.h"

class WFtp;
class WHttp;

// The settings as the file in the main window's program folder gives them.
NetSettings OnlineSettings();
void ConfigureHttp(WHttp& http, const NetSettings& settings);
void ConfigureFtp(WFtp& ftp, const NetSettings& settings);

// The text without white space at either end.
std::string Trimmed(const std::string& text);
