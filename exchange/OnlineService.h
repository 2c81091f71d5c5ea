#pragma once
// What the food update and the food data upload share: the maker's servers (the configuration
// file beside the program, else the built-in defaults), the addresses their messages name, and
// the clients set up with the configured time-outs.

#include <string>

#include "platform/net/NetSettings.h"

class WFtp;
class WHttp;

extern const char* const SupportAddress;   // ends the messages that ask the user to write
extern const char* const MakerWebSite;     // where a newer program version is found

// The settings as the file in the main window's program folder gives them.
NetSettings OnlineSettings();
void ConfigureHttp(WHttp& http, const NetSettings& settings);
void ConfigureFtp(WFtp& ftp, const NetSettings& settings);

// The text without white space at either end.
std::string Trimmed(const std::string& text);
