#pragma once
// The 18 tables of the database and the nouns that messages use for them. The two lists are
// parallel: TableNouns[i] names a row of TableNames[i].

#include <array>

inline constexpr int NumTables = 18;

extern const std::array<const char* const, NumTables> TableNames;
extern const std::array<const char* const, NumTables> TableNouns;
