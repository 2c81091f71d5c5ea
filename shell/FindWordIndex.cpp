#include "shell/FindWordIndex.h"

#include <algorithm>

namespace {

unsigned char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool IsWordBreak(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void DocList::Append(const std::int32_t* items, int n) {
    if (n <= 0) return;
    // Grow in steps of n + 50, so that a list fed one index at a time rarely moves.
    if (items_.size() + n > items_.capacity()) items_.reserve(items_.capacity() + n + 50);
    if (items) items_.insert(items_.end(), items, items + n);
    else items_.insert(items_.end(), n, 0);
}

std::int32_t DocList::At(int position) const {
    return position >= 0 && position < Count() ? items_[position] : -1;
}

void DocList::Sort() {
    std::sort(items_.begin(), items_.end(), [](std::int32_t a, std::int32_t b) { return CompareIds(a, b) < 0; });
}

void DocList::RemoveDuplicates() { items_.erase(std::unique(items_.begin(), items_.end()), items_.end()); }

void DocList::Intersect(const DocList& other, bool copyWhenEmpty) {
    if (items_.empty()) {
        if (copyWhenEmpty) items_ = other.items_;
        return;
    }
    auto out = items_.begin();
    auto theirs = other.items_.begin();
    for (auto mine = items_.begin(); mine != items_.end(); ++mine) {
        while (theirs != other.items_.end() && *theirs < *mine) ++theirs;
        if (theirs == other.items_.end()) break;
        if (*theirs == *mine) *out++ = *mine;
    }
    items_.erase(out, items_.end());
}

int CompareIds(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareWords(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Folded(a[i]), y = Folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool WordBeginsWith(std::string_view word, std::string_view prefix) {
    if (prefix.size() > word.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Folded(word[i]) != Folded(prefix[i])) return false;
    return true;
}

namespace {

// Calls visit with every word of text, in order.
template <class Visit>
void ForEachWord(std::string_view text, Visit visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsWordBreak(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsWordBreak(text[i])) ++i;
        if (i > start) visit(text.substr(start, i - start));
    }
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    ForEachWord(text, [&](std::string_view word) { words.emplace_back(word); });
    return words;
}

void WordTree::AddText(const std::string& text, std::int32_t item) {
    if (item < 0) return;   // items are positions in the caller's list
    ForEachWord(text, [&](std::string_view word) {
        auto it = nodes_.find(word);
        if (it == nodes_.end()) it = nodes_.emplace(std::string(word), DocList()).first;
        // A word met again in the same text adds nothing.
        if (it->second.At(it->second.Count() - 1) != item) it->second.Append(item);
    });
}

void WordTree::SortNodeItems() {
    for (auto& [word, items] : nodes_) {
        // Texts indexed in their order leave every list sorted already.
        if (std::is_sorted(items.Items().begin(), items.Items().end())) continue;
        items.Sort();
        items.RemoveDuplicates();
    }
}

const DocList* WordTree::Find(const std::string& word) const {
    const auto it = nodes_.find(word);
    return it == nodes_.end() ? nullptr : &it->second;
}

void WordTree::Walk(const Visitor& visitor, const std::string& from) const {
    for (auto it = from.empty() ? nodes_.begin() : nodes_.lower_bound(from); it != nodes_.end(); ++it)
        if (!visitor(it->first, it->second)) return;
}

// The words that begin with a prefix stand together in the tree's order, from the first word not
// below the prefix: the walk starts there and ends at the first word past the block.
void WordTree::MatchPrefix(const std::string& prefix, DocList& matches) const {
    matches.Clear();
    std::vector<const DocList*> block;
    std::int32_t highest = -1;
    Walk([&](const std::string& word, const DocList& items) {
        if (!WordBeginsWith(word, prefix)) return false;
        if (items.Count() > 0) {
            block.push_back(&items);
            highest = std::max(highest, items.Items().back());
        }
        return true;
    }, prefix);
    if (block.size() == 1) {
        matches.Append(block[0]->Items().data(), block[0]->Count());
        return;
    }
    // The union of many sorted lists in one pass: mark every item, then read the marks in order.
    std::vector<char> marked(static_cast<std::size_t>(highest + 1), 0);
    for (const DocList* items : block)
        for (std::int32_t item : items->Items()) marked[item] = 1;
    for (std::int32_t item = 0; item <= highest; ++item)
        if (marked[item]) matches.Append(item);
}

int WordTree::Search(const std::string& query, DocList& result) const {
    result.Clear();
    DocList scratch;
    bool first = true;
    for (const std::string& word : SplitWords(query)) {
        MatchPrefix(word, scratch);
        // The result must hold every word: once it is empty, no later word can bring texts back.
        if (first) result.Intersect(scratch, true);
        else result.Intersect(scratch);
        first = false;
        if (result.Count() == 0) break;
    }
    return result.Count();
}
