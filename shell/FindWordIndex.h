#pragma once
// The word index of the find-as-you-type dialog: every word of every text, each with the sorted
// list of the texts (by item index) that contain it. A keystroke then costs, per typed word, a
// walk over the block of words that begin with it, and merges of sorted lists.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// A growable list of item indexes. The lists that take part in unions and intersections are
// sorted ascending and free of duplicates, so that both are linear merges.
class DocList {
public:
    // Appends n indexes from items, or n zeros when items is NULL.
    void Append(const std::int32_t* items, int n);
    void Append(std::int32_t item) { Append(&item, 1); }
    std::int32_t At(int position) const;   // -1 past the end
    int Count() const { return static_cast<int>(items_.size()); }
    int Capacity() const { return static_cast<int>(items_.capacity()); }
    void Clear() { items_.clear(); }   // keeps the storage
    void Sort();
    void RemoveDuplicates();           // adjacent ones; sort first
    // Keeps only the indexes that other also holds. With copyWhenEmpty an empty list takes a
    // copy of other instead.
    void Intersect(const DocList& other, bool copyWhenEmpty = false);
    const std::vector<std::int32_t>& Items() const { return items_; }

private:
    std::vector<std::int32_t> items_;
};

int CompareIds(std::int32_t a, std::int32_t b);   // -1, 0, 1

// Words compare with A-Z folded to a-z and every other byte by its unsigned value: -1, 0, 1.
int CompareWords(std::string_view a, std::string_view b);
// The word begins with the prefix under the same folding.
bool WordBeginsWith(std::string_view word, std::string_view prefix);
// The runs of characters other than blank and tab; punctuation stays part of its word.
std::vector<std::string> SplitWords(const std::string& text);

// Transparent, so that a word can be looked up without copying it out of its text first.
struct WordLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return CompareWords(a, b) < 0; }
};

// The words in ascending order. A balanced ordered tree, so that texts that arrive sorted (as
// the lists and tables usually do) do not make it a deep chain.
class WordTree {
public:
    void Clear() { nodes_.clear(); }
    int Count() const { return static_cast<int>(nodes_.size()); }

    // Indexes every word of text under item (a position, 0 or more).
    void AddText(const std::string& text, std::int32_t item);
    // Sorts every word's item list and removes its duplicates; run once after the last AddText.
    void SortNodeItems();
    // The items of the texts that have, for each word of query, a word beginning with it;
    // ascending and distinct. Answers their number.
    int Search(const std::string& query, DocList& result) const;

    // The item list of a word that compares equal, NULL when none.
    const DocList* Find(const std::string& word) const;
    // In-order walk from the first word not below from (the first word of all when from is
    // empty); stops as soon as the visitor answers false.
    using Visitor = std::function<bool(const std::string& word, const DocList& items)>;
    void Walk(const Visitor& visitor, const std::string& from = std::string()) const;

private:
    // The items of every word that begins with prefix, ascending and distinct.
    void MatchPrefix(const std::string& prefix, DocList& matches) const;

    std::map<std::string, DocList, WordLess> nodes_;
};
