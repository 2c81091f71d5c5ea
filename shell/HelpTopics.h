#pragma once
// The help topics: each help id that a window passes to WinStart::ShowHelp names a page and an
// anchor inside the help file "Kestavo.chm". The topic is appended to the help path.

// One {id, text} pair of a constant table that ends with a pair whose text is NULL.
struct IdTextPair {
    int id;
    const char* text;
};

extern const IdTextPair HelpTopics[];

// The topic to show for a help id: 0 or less means 100, and an id missing from the table falls
// back to the first topic, so that a request for help never shows nothing.
const char* HelpTopicFor(int helpId);
