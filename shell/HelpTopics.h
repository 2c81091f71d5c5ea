#pragma once
// The help topics: each help id that a window passes to WinStart::ShowHelp names a page and an
// anchor inside the help file "Kestavo.chm". The topic is appended to the help path.

// One {id, text} pair of a constant table that ends with a pair whose text is NULL.
struct IdTextPair {
    int id;
    const char* text;
};

extern const IdTextPair HelpTopics[];

// The text of the first pair of the table with that id; NULL when none has it.
const char* FindIdText(const IdTextPair* table, int id);
