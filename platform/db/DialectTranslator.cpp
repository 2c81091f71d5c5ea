#include "platform/db/DialectTranslator.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>

namespace {

// ---------------------------------------------------------------------------------------------
// Tokens and the tree of parenthesised groups

enum class Kind { Word, Quoted, Text, Number, Marker, Op, Group };

struct Node {
    Kind kind = Kind::Op;
    std::string text;       // word, quoted name or operator as written; a text's decoded value
    int marker = 0;         // for a '?': its number in the original statement
    std::vector<Node> kids; // for a group: what stands between its parentheses
};

using Seq = std::vector<Node>;

struct TranslateError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

Node Word(std::string text) { return {Kind::Word, std::move(text), 0, {}}; }
Node Op(std::string text) { return {Kind::Op, std::move(text), 0, {}}; }
Node Text(std::string text) { return {Kind::Text, std::move(text), 0, {}}; }
Node Number(std::string text) { return {Kind::Number, std::move(text), 0, {}}; }
Node Group(Seq kids) { return {Kind::Group, {}, 0, std::move(kids)}; }

bool IsWord(const Node& n, const char* word) {
    return n.kind == Kind::Word && Lower(n.text) == word;
}
bool IsOp(const Node& n, const char* op) { return n.kind == Kind::Op && n.text == op; }
bool IsName(const Node& n) { return n.kind == Kind::Word || n.kind == Kind::Quoted; }
std::string NameKey(const Node& n) { return Lower(n.text); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The original engine reads \xHH, \n and \\ inside a quoted text, in one pass, so the four
// characters of an escaped backslash never start a second escape.
std::string DecodeEscapes(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\\' && i + 1 < raw.size()) {
            const char next = raw[i + 1];
            if ((next == 'x' || next == 'X') && i + 3 < raw.size() && HexDigit(raw[i + 2]) >= 0 &&
                HexDigit(raw[i + 3]) >= 0) {
                out += static_cast<char>(HexDigit(raw[i + 2]) * 16 + HexDigit(raw[i + 3]));
                i += 3;
                continue;
            }
            if (next == 'n') { out += '\n'; ++i; continue; }
            if (next == '\\') { out += '\\'; ++i; continue; }
        }
        out += c;
    }
    return out;
}

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

Seq Tokenize(const std::string& sql) {
    Seq tokens;
    int markers = 0;
    std::size_t i = 0;
    const std::size_t n = sql.size();
    while (i < n) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) { ++i; continue; }
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const std::size_t end = sql.find("*/", i + 2);
            if (end == std::string::npos) throw TranslateError("unterminated comment");
            i = end + 2;
            continue;
        }
        if ((c == 'x' || c == 'X') && i + 1 < n && sql[i + 1] == '\'') {
            // A blob literal is SQLite's own; it passes as written.
            const std::size_t end = sql.find('\'', i + 2);
            if (end == std::string::npos) throw TranslateError("unterminated blob literal");
            tokens.push_back(Number(sql.substr(i, end + 1 - i)));
            i = end + 1;
            continue;
        }
        if (c == '\'') {
            std::string raw;
            ++i;
            for (;;) {
                if (i >= n) throw TranslateError("unterminated text literal");
                if (sql[i] == '\'') {
                    if (i + 1 < n && sql[i + 1] == '\'') { raw += '\''; i += 2; continue; }
                    ++i;
                    break;
                }
                raw += sql[i++];
            }
            tokens.push_back(Text(DecodeEscapes(raw)));
            continue;
        }
        if (c == '"') {
            std::string name;
            ++i;
            for (;;) {
                if (i >= n) throw TranslateError("unterminated quoted name");
                if (sql[i] == '"') {
                    if (i + 1 < n && sql[i + 1] == '"') { name += '"'; i += 2; continue; }
                    ++i;
                    break;
                }
                name += sql[i++];
            }
            tokens.push_back({Kind::Quoted, name, 0, {}});
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            const std::size_t start = i;
            while (i < n && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) ++i;
            if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (sql[j] == '+' || sql[j] == '-')) ++j;
                if (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) {
                    i = j;
                    while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
                }
            }
            tokens.push_back(Number(sql.substr(start, i - start)));
            continue;
        }
        if (IsWordChar(c)) {
            const std::size_t start = i;
            while (i < n && IsWordChar(sql[i])) ++i;
            tokens.push_back(Word(sql.substr(start, i - start)));
            continue;
        }
        if (c == '?') {
            Node marker{Kind::Marker, "?", ++markers, {}};
            tokens.push_back(marker);
            ++i;
            continue;
        }
        static const char* const twoCharOps[] = {"==", "!=", "<>", "<=", ">=", "||", "!<", "!>"};
        bool matched = false;
        for (const char* op : twoCharOps) {
            if (sql.compare(i, 2, op) == 0) {
                tokens.push_back(Op(op));
                i += 2;
                matched = true;
                break;
            }
        }
        if (matched) continue;
        tokens.push_back(Op(std::string(1, c)));
        ++i;
    }
    return tokens;
}

Seq BuildTree(const Seq& tokens) {
    std::vector<Seq> stack(1);
    for (const Node& t : tokens) {
        if (IsOp(t, "(")) {
            stack.emplace_back();
        } else if (IsOp(t, ")")) {
            if (stack.size() < 2) throw TranslateError("unbalanced parenthesis");
            Node group = Group(std::move(stack.back()));
            stack.pop_back();
            stack.back().push_back(std::move(group));
        } else {
            stack.back().push_back(t);
        }
    }
    if (stack.size() != 1) throw TranslateError("unbalanced parenthesis");
    return std::move(stack.front());
}

std::string QuoteText(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

std::string QuoteName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool IsReserved(const Node& n);

void Emit(const Seq& seq, std::string& out, std::vector<int>& markers) {
    for (std::size_t i = 0; i < seq.size(); ++i) {
        const Node& n = seq[i];
        const bool glued = i == 0 || IsOp(n, ".") || IsOp(n, ",") || IsOp(seq[i - 1], ".") ||
                           (n.kind == Kind::Group && seq[i - 1].kind == Kind::Word && !IsReserved(seq[i - 1]));
        if (!glued && !out.empty() && out.back() != '(') out += ' ';
        switch (n.kind) {
        case Kind::Word: case Kind::Number: case Kind::Op: out += n.text; break;
        case Kind::Quoted: out += QuoteName(n.text); break;
        case Kind::Text: out += QuoteText(n.text); break;
        case Kind::Marker: out += '?'; markers.push_back(n.marker); break;
        case Kind::Group:
            out += '(';
            Emit(n.kids, out, markers);
            out += ')';
            break;
        }
    }
}

std::vector<Seq> SplitOnCommas(const Seq& seq) {
    std::vector<Seq> parts(1);
    for (const Node& n : seq) {
        if (IsOp(n, ",")) parts.emplace_back();
        else parts.back().push_back(n);
    }
    if (parts.size() == 1 && parts.front().empty()) parts.clear();
    return parts;
}

Seq JoinWithCommas(const std::vector<Seq>& parts) {
    Seq out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.push_back(Op(","));
        out.insert(out.end(), parts[i].begin(), parts[i].end());
    }
    return out;
}

bool IsSubquery(const Node& n) {
    return n.kind == Kind::Group && !n.kids.empty() && IsWord(n.kids.front(), "select");
}

// Words that end or separate clauses, so never a table's correlation name or a column alias.
const std::set<std::string>& ReservedWords() {
    static const std::set<std::string> words = {
        "select", "from", "where", "group", "having", "order", "by", "limit", "union", "except",
        "intersect", "join", "key", "natural", "inner", "left", "right", "full", "outer", "cross",
        "on", "using", "as", "and", "or", "not", "is", "in", "like", "between", "case", "when",
        "then", "else", "end", "if", "endif", "distinct", "all", "null", "set", "values", "into",
        "asc", "desc", "collate", "exists"};
    return words;
}

bool IsReserved(const Node& n) {
    return n.kind == Kind::Word && ReservedWords().count(Lower(n.text)) > 0;
}

bool IsComparison(const Node& n) {
    static const std::set<std::string> ops = {"=", "==", "!=", "<>", "<", ">", "<=", ">=", "!<", "!>"};
    return n.kind == Kind::Op && ops.count(n.text) > 0;
}

// ---------------------------------------------------------------------------------------------
// The clauses of one statement level

struct Clauses {
    std::ptrdiff_t select = -1, from = -1, where = -1, groupBy = -1, having = -1, orderBy = -1,
                   end = 0;
    // The end of the clause that starts at 'start' (a keyword index): the next clause keyword.
    std::ptrdiff_t EndOf(std::ptrdiff_t start) const {
        std::ptrdiff_t next = end;
        for (std::ptrdiff_t k : {select, from, where, groupBy, having, orderBy, limit, setOp})
            if (k > start && k < next) next = k;
        return next;
    }
    std::ptrdiff_t limit = -1, setOp = -1;
};

Clauses FindClauses(const Seq& seq) {
    Clauses c;
    c.end = static_cast<std::ptrdiff_t>(seq.size());
    for (std::ptrdiff_t i = 0; i < c.end; ++i) {
        const Node& n = seq[i];
        if (n.kind != Kind::Word) continue;
        const std::string w = Lower(n.text);
        const bool byNext = i + 1 < c.end && IsWord(seq[i + 1], "by");
        if (c.setOp >= 0) break;   // only the first select of a compound is looked into
        if (w == "select" && c.select < 0) c.select = i;
        else if (w == "from" && c.from < 0) c.from = i;
        else if (w == "where" && c.where < 0) c.where = i;
        else if (w == "group" && byNext && c.groupBy < 0) c.groupBy = i;
        else if (w == "having" && c.having < 0) c.having = i;
        else if (w == "order" && byNext && c.orderBy < 0) c.orderBy = i;
        else if (w == "limit" && c.limit < 0) c.limit = i;
        else if ((w == "union" || w == "except" || w == "intersect") && c.select >= 0) c.setOp = i;
    }
    return c;
}

// ---------------------------------------------------------------------------------------------

class Translator {
public:
    explicit Translator(const DialectTranslator& schema) : schema_(schema) {}

    DialectTranslator::Translation Run(const std::string& sql) {
        Seq tokens = StripOwner(Tokenize(sql));
        NoteAliases(tokens);
        NoteReferencedTables(tokens);
        Seq tree = BuildTree(tokens);
        Statement(tree);
        DialectTranslator::Translation result;
        Emit(tree, result.sql, result.parameterOrder);
        result.ok = true;
        return result;
    }

private:
    // "Kestavo.Trips": every table belongs to the one owner, so the prefix says nothing here.
    Seq StripOwner(const Seq& tokens) const {
        Seq out;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (IsWord(tokens[i], "kestavo") && i + 2 < tokens.size() && IsOp(tokens[i + 1], ".") &&
                IsName(tokens[i + 2]) && schema_.FindTable(tokens[i + 2].text) &&
                (i == 0 || !IsOp(tokens[i - 1], "."))) {
                ++i;
                continue;
            }
            out.push_back(tokens[i]);
        }
        return out;
    }

    void NoteReferencedTables(const Seq& tokens) {
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind != Kind::Word || (i > 0 && IsOp(tokens[i - 1], "."))) continue;
            if (const auto* table = schema_.FindTable(tokens[i].text)) {
                for (const auto& column : table->columns) referencedColumns_.insert(Lower(column.name));
            }
        }
    }

    // One statement level: a whole statement or what stands in a pair of parentheses.
    void Statement(Seq& seq) {
        SubstituteAliases(seq);
        RewriteFrom(seq);
        AddCollationToSortKeys(seq);
        for (Node& n : seq)
            if (n.kind == Kind::Group) Statement(n.kids);
        RewriteConditionals(seq);
        RewriteFunctions(seq);
        RewriteDateArithmetic(seq);
        AddCollationToComparisons(seq);
    }

    // --- select-list aliases inside correlated subqueries ----------------------------------

    struct Alias {
        std::string key;
        Seq expression;
    };

    std::vector<Alias> CollectAliases(const Seq& seq, const Clauses& c) const {
        std::vector<Alias> aliases;
        const Seq list(seq.begin() + c.select + 1, seq.begin() + c.EndOf(c.select));
        for (const Seq& item : SplitOnCommas(list)) {
            if (item.size() < 2 || !IsName(item.back()) || IsReserved(item.back())) continue;
            const Node& before = item[item.size() - 2];
            std::size_t exprEnd = item.size() - 1;
            if (IsWord(before, "as")) {
                --exprEnd;
            } else if (before.kind == Kind::Op || (IsReserved(before) && !IsWord(before, "end") &&
                                                   !IsWord(before, "endif") && !IsWord(before, "null"))) {
                continue;
            }
            if (exprEnd == 0) continue;
            const std::string key = NameKey(item.back());
            if (referencedColumns_.count(key)) continue;   // a column of that name wins, as it does in SQL
            aliases.push_back({key, Seq(item.begin(), item.begin() + static_cast<std::ptrdiff_t>(exprEnd))});
        }
        return aliases;
    }

    void SubstituteAliases(Seq& seq) {
        const Clauses c = FindClauses(seq);
        if (c.select < 0) return;
        const std::vector<Alias> aliases = CollectAliases(seq, c);
        if (aliases.empty()) return;
        auto inSubqueries = [&](std::ptrdiff_t from, std::ptrdiff_t to) {
            for (std::ptrdiff_t i = from; i < to; ++i)
                if (seq[i].kind == Kind::Group) ReplaceInSubqueries(seq[i], aliases, false);
        };
        inSubqueries(c.select + 1, c.EndOf(c.select));
        if (c.where >= 0) inSubqueries(c.where + 1, c.EndOf(c.where));
        if (c.having >= 0) inSubqueries(c.having + 1, c.EndOf(c.having));
    }

    static void ReplaceInSubqueries(Node& group, const std::vector<Alias>& aliases, bool inside) {
        inside = inside || IsSubquery(group);
        Seq& kids = group.kids;
        for (std::size_t i = 0; i < kids.size(); ++i) {
            Node& n = kids[i];
            if (n.kind == Kind::Group) {
                ReplaceInSubqueries(n, aliases, inside);
                continue;
            }
            if (!inside || !IsName(n)) continue;
            if (i > 0 && IsOp(kids[i - 1], ".")) continue;
            if (i + 1 < kids.size() && (IsOp(kids[i + 1], ".") || kids[i + 1].kind == Kind::Group)) continue;
            const std::string key = NameKey(n);
            for (const Alias& alias : aliases) {
                if (alias.key == key) {
                    n = Group(alias.expression);
                    break;
                }
            }
        }
    }

    // --- key joins ---------------------------------------------------------------------------

    struct TableRef {
        Node source;             // the table's name or a parenthesised table expression
        std::string table;       // lower case; empty for a table expression
        bool hasAlias = false;
        Node alias;
        std::string key;         // the correlation name, lower case
        std::string join;        // how it joins the one before it in its chain ("JOIN", "LEFT JOIN")
        bool keyJoin = false;
        bool hasOn = false;
        Seq on;
    };
    using Chain = std::vector<TableRef>;

    static bool StartsJoin(const Node& n) {
        static const std::set<std::string> words = {"key", "natural", "inner", "left", "right", "outer",
                                                    "full", "cross", "join"};
        return IsOp(n, "==") || (n.kind == Kind::Word && words.count(Lower(n.text)) > 0);
    }

    // Parses the FROM list; false when it holds anything this layer does not know, which is
    // then left for SQLite to judge.
    bool ParseFrom(const Seq& seq, std::ptrdiff_t from, std::ptrdiff_t to, std::vector<Chain>& chains) const {
        chains.assign(1, {});
        std::ptrdiff_t i = from;
        std::string join;
        bool keyJoin = false;
        for (;;) {
            if (i >= to) return false;
            TableRef ref;
            ref.source = seq[i];
            if (seq[i].kind == Kind::Word && !IsReserved(seq[i])) ref.table = Lower(seq[i].text);
            else if (seq[i].kind != Kind::Group) return false;
            ++i;
            if (i < to && IsWord(seq[i], "as")) ++i;
            if (i < to && IsName(seq[i]) && !IsReserved(seq[i]) && !StartsJoin(seq[i])) {
                ref.hasAlias = true;
                ref.alias = seq[i++];
            }
            ref.key = ref.hasAlias ? NameKey(ref.alias) : ref.table;
            ref.join = join;
            ref.keyJoin = keyJoin;
            if (i < to && IsWord(seq[i], "on")) {
                ref.hasOn = true;
                ref.keyJoin = false;
                ++i;
                while (i < to && !IsOp(seq[i], ",") && !StartsJoin(seq[i])) ref.on.push_back(seq[i++]);
            }
            if (!chains.back().empty() && !ref.hasOn && ref.join.find("NATURAL") == std::string::npos &&
                ref.join.find("CROSS") == std::string::npos)
                ref.keyJoin = true;   // the original engine joins on the key when no ON is given
            chains.back().push_back(std::move(ref));
            if (i >= to) return true;
            join.clear();
            keyJoin = false;
            if (IsOp(seq[i], ",")) {
                chains.emplace_back();
                ++i;
                continue;
            }
            if (IsOp(seq[i], "==")) {
                join = "JOIN";
                keyJoin = true;
                ++i;
                continue;
            }
            bool natural = false;
            std::string kind;
            while (i < to && seq[i].kind == Kind::Word && !IsWord(seq[i], "join") && StartsJoin(seq[i])) {
                const std::string w = Lower(seq[i].text);
                if (w == "key") keyJoin = true;
                else if (w == "natural") natural = true;
                else if (w == "left" || w == "right" || w == "full" || w == "cross") kind = Upper(w) + " ";
                ++i;   // "inner" and "outer" add nothing that SQLite needs
            }
            if (i >= to || !IsWord(seq[i], "join")) return false;
            ++i;
            if (natural) kind = "NATURAL " + kind;
            join = kind + "JOIN";
        }
    }

    Node CorrelationName(const TableRef& ref) const {
        return ref.hasAlias ? ref.alias : ref.source;
    }

    // The condition of a key join of 'ref' to the tables before it in its chain: the one declared
    // foreign key between them, nearest table first when several tables have one.
    Seq KeyCondition(const Chain& chain, std::size_t index) const {
        const TableRef& ref = chain[index];
        if (ref.table.empty()) throw TranslateError("a key join needs a table");
        const auto* table = schema_.FindTable(ref.table);
        if (!table) throw TranslateError("no such table: " + ref.table);
        struct Match { const TableRef* child; const TableRef* parent; const DialectTranslator::ForeignKey* key; };
        std::vector<std::vector<Match>> perTable;
        for (std::size_t j = index; j-- > 0;) {
            const TableRef& earlier = chain[j];
            std::vector<Match> matches;
            const auto* other = earlier.table.empty() ? nullptr : schema_.FindTable(earlier.table);
            if (!other) continue;
            for (const auto& fk : table->foreignKeys)
                if (Lower(fk.parentTable) == Lower(other->name)) matches.push_back({&ref, &earlier, &fk});
            if (Lower(other->name) != Lower(table->name))
                for (const auto& fk : other->foreignKeys)
                    if (Lower(fk.parentTable) == Lower(table->name)) matches.push_back({&earlier, &ref, &fk});
            if (!matches.empty()) perTable.push_back(std::move(matches));
        }
        if (perTable.empty())
            throw TranslateError("no foreign key joins " + table->name + " to the tables before it");
        const auto& nearest = perTable.front();
        if (nearest.size() != 1) throw TranslateError("more than one foreign key joins " + table->name);
        const Match& m = nearest.front();
        std::string parentColumn = m.key->parentColumn;
        if (parentColumn.empty()) {
            const auto* parent = schema_.FindTable(m.parent->table);
            parentColumn = parent && !parent->primaryKey.empty() ? parent->primaryKey : "id";
        }
        return {CorrelationName(*m.child), Op("."), Word(m.key->column), Op("="),
                CorrelationName(*m.parent), Op("."), Word(parentColumn)};
    }

    void RewriteFrom(Seq& seq) {
        const Clauses c = FindClauses(seq);
        if (c.from < 0 || c.select < 0) return;
        const std::ptrdiff_t fromEnd = c.EndOf(c.from);
        std::vector<Chain> chains;
        if (!ParseFrom(seq, c.from + 1, fromEnd, chains)) return;
        bool anyKeyJoin = false;
        for (const Chain& chain : chains)
            for (const TableRef& ref : chain) anyKeyJoin = anyKeyJoin || ref.keyJoin;
        std::set<std::string> emittedKeys;
        bool repeated = false;
        for (const Chain& chain : chains)
            for (const TableRef& ref : chain)
                if (!emittedKeys.insert(ref.key).second) repeated = true;
        if (!anyKeyJoin && !repeated) return;

        Seq out;
        std::vector<Seq> extraConditions;
        std::set<std::string> emitted;
        for (const Chain& chain : chains) {
            for (std::size_t k = 0; k < chain.size(); ++k) {
                const TableRef& ref = chain[k];
                Seq condition;
                if (k > 0) condition = ref.keyJoin ? KeyCondition(chain, k) : ref.on;
                if (!emitted.insert(ref.key).second) {
                    // The same correlation name again is the same row source: its join to this
                    // chain becomes a condition of the whole statement.
                    if (!condition.empty()) extraConditions.push_back(condition);
                    continue;
                }
                if (k == 0 || ref.join.empty()) {
                    if (!out.empty()) out.push_back(Op(","));
                } else {
                    for (const std::string& w : SplitWords(ref.join)) out.push_back(Word(w));
                }
                out.push_back(ref.source);
                if (ref.hasAlias) out.push_back(ref.alias);
                if (k > 0 && !condition.empty()) {
                    out.push_back(Word("ON"));
                    out.push_back(Group(condition));
                }
            }
        }

        Seq result(seq.begin(), seq.begin() + c.from + 1);
        result.insert(result.end(), out.begin(), out.end());
        Seq rest(seq.begin() + fromEnd, seq.end());
        if (!extraConditions.empty()) {
            Seq conditions;
            for (const Seq& cond : extraConditions) {
                if (!conditions.empty()) conditions.push_back(Word("AND"));
                conditions.push_back(Group(cond));
            }
            const Clauses rc = FindClauses(rest);
            if (rc.where >= 0) {
                const std::ptrdiff_t whereEnd = rc.EndOf(rc.where);
                Seq original(rest.begin() + rc.where + 1, rest.begin() + whereEnd);
                Seq newWhere{Word("WHERE")};
                newWhere.insert(newWhere.end(), conditions.begin(), conditions.end());
                newWhere.push_back(Word("AND"));
                newWhere.push_back(Group(original));
                rest.erase(rest.begin() + rc.where, rest.begin() + whereEnd);
                rest.insert(rest.begin() + rc.where, newWhere.begin(), newWhere.end());
            } else {
                Seq newWhere{Word("WHERE")};
                newWhere.insert(newWhere.end(), conditions.begin(), conditions.end());
                rest.insert(rest.begin(), newWhere.begin(), newWhere.end());
            }
        }
        result.insert(result.end(), rest.begin(), rest.end());
        seq = std::move(result);
    }

    static std::vector<std::string> SplitWords(const std::string& text) {
        std::vector<std::string> words;
        std::string word;
        for (char ch : text) {
            if (ch == ' ') {
                if (!word.empty()) words.push_back(word);
                word.clear();
            } else {
                word += ch;
            }
        }
        if (!word.empty()) words.push_back(word);
        return words;
    }

    // --- text compares without regard to case ------------------------------------------------

    void AddCollationToSortKeys(Seq& seq) {
        for (const bool orderBy : {true, false}) {
            const Clauses c = FindClauses(seq);
            const std::ptrdiff_t start = orderBy ? c.orderBy : c.groupBy;
            if (start < 0) continue;
            const std::ptrdiff_t end = c.EndOf(start);
            const Seq keys(seq.begin() + start + 2, seq.begin() + end);
            std::vector<Seq> terms = SplitOnCommas(keys);
            for (Seq& term : terms) {
                if (term.empty()) continue;
                if (std::any_of(term.begin(), term.end(), [](const Node& n) { return IsWord(n, "collate"); }))
                    continue;
                std::size_t at = term.size();
                if (IsWord(term.back(), "asc") || IsWord(term.back(), "desc")) --at;
                term.insert(term.begin() + static_cast<std::ptrdiff_t>(at), {Word("COLLATE"), Word("NOCASE")});
            }
            const Seq joined = JoinWithCommas(terms);
            seq.erase(seq.begin() + start + 2, seq.begin() + end);
            seq.insert(seq.begin() + start + 2, joined.begin(), joined.end());
        }
    }

    static void AddCollationToComparisons(Seq& seq) {
        for (std::size_t i = 0; i < seq.size(); ++i) {
            const Node& n = seq[i];
            if (n.kind != Kind::Text && n.kind != Kind::Marker) continue;
            const bool nextIsComparison = i + 1 < seq.size() && IsComparison(seq[i + 1]);
            const bool previousIsComparison = i > 0 && IsComparison(seq[i - 1]);
            if (!nextIsComparison && !previousIsComparison) continue;
            if (i + 1 < seq.size() && IsWord(seq[i + 1], "collate")) continue;
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(i) + 1, {Word("COLLATE"), Word("NOCASE")});
            i += 2;
        }
    }

    // --- if ... then ... else ... endif -------------------------------------------------------

    static void RewriteConditionals(Seq& seq) {
        for (std::size_t i = 0; i < seq.size(); ++i) {
            if (IsWord(seq[i], "if")) {
                if (i + 1 < seq.size() && (IsWord(seq[i + 1], "exists") || IsWord(seq[i + 1], "not"))) continue;
                seq[i] = Word("CASE");
                seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(i) + 1, Word("WHEN"));
                ++i;
            } else if (IsWord(seq[i], "endif")) {
                seq[i] = Word("END");
            }
        }
    }

    // --- functions ----------------------------------------------------------------------------

    void RewriteFunctions(Seq& seq) {
        for (std::size_t i = 0; i + 1 < seq.size(); ++i) {
            if (seq[i].kind != Kind::Word || seq[i + 1].kind != Kind::Group) continue;
            if (i > 0 && IsOp(seq[i - 1], ".")) continue;
            const std::string name = Lower(seq[i].text);
            Seq replacement;
            if (name == "string") replacement = StringFunction(seq[i + 1].kids);
            else if (name == "dateformat") replacement = DateFormatFunction(seq[i + 1].kids);
            else if (name == "now") replacement = Now();
            else if (name == "today") replacement = {Word("date"), Group({Text("now"), Op(","), Text("localtime")})};
            else if (name == "list") { seq[i] = Word("group_concat"); continue; }
            else if (name == "isnull") { seq[i] = Word("coalesce"); continue; }
            else continue;
            seq.erase(seq.begin() + static_cast<std::ptrdiff_t>(i), seq.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(i), replacement.begin(), replacement.end());
            i += replacement.size() - 1;
        }
    }

    // The timestamp as fixed-format text, so that it reads back the same every time.
    static Seq Now() {
        return {Word("strftime"),
                Group({Text("%Y-%m-%d %H:%M:%f"), Op(","), Text("now"), Op(","), Text("localtime")})};
    }

    // STRING( a, b, ... ): every argument as text, NULL as empty text, real numbers without a
    // trailing ".0"; NULL only when every argument is NULL.
    static Seq StringFunction(const Seq& args) {
        const std::vector<Seq> parts = SplitOnCommas(args);
        if (parts.empty()) return {Text("")};
        Seq concat;
        bool anyLiteral = false;
        Seq allNull;
        for (const Seq& part : parts) {
            if (!concat.empty()) concat.push_back(Op("||"));
            if (part.size() == 1 && (part[0].kind == Kind::Text || part[0].kind == Kind::Number)) {
                concat.push_back(Text(part[0].text));
                anyLiteral = true;
                continue;
            }
            const Node value = Group(part);
            concat.insert(concat.end(),
                          {Word("CASE"), Word("typeof"), Group({value}), Word("WHEN"), Text("real"), Word("THEN"),
                           Word("printf"), Group({Text("%.15g"), Op(","), value}), Word("WHEN"), Text("null"),
                           Word("THEN"), Text(""), Word("ELSE"), Word("CAST"),
                           Group({value, Word("AS"), Word("TEXT")}), Word("END")});
            if (!allNull.empty()) allNull.push_back(Word("AND"));
            allNull.insert(allNull.end(), {value, Word("IS"), Word("NULL")});
        }
        if (anyLiteral) return {Group(concat)};
        Seq out{Word("CASE"), Word("WHEN")};
        out.insert(out.end(), allNull.begin(), allNull.end());
        out.insert(out.end(), {Word("THEN"), Word("NULL"), Word("ELSE"), Group(concat), Word("END")});
        return {Group(out)};
    }

    // DATEFORMAT( date, pattern ): Mmm.. month name cut to as many letters as the pattern has
    // (its case following the pattern's), mm month number, dd day, yyyy or yy year.
    static Seq DateFormatFunction(const Seq& args) {
        const std::vector<Seq> parts = SplitOnCommas(args);
        if (parts.size() != 2 || parts[1].size() != 1 || parts[1][0].kind != Kind::Text)
            throw TranslateError("DATEFORMAT needs a date and a pattern text");
        const Node date = Group(parts[0]);
        const std::string& pattern = parts[1][0].text;
        auto field = [&](const char* format) {
            return Seq{Word("strftime"), Group({Text(format), Op(","), date})};
        };
        Seq out;
        std::string literal;
        auto flushLiteral = [&] {
            if (literal.empty()) return;
            if (!out.empty()) out.push_back(Op("||"));
            out.push_back(Text(literal));
            literal.clear();
        };
        auto append = [&](const Seq& piece) {
            flushLiteral();
            if (!out.empty()) out.push_back(Op("||"));
            out.insert(out.end(), piece.begin(), piece.end());
        };
        for (std::size_t i = 0; i < pattern.size();) {
            const char ch = pattern[i];
            const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            std::size_t run = 1;
            while (i + run < pattern.size() &&
                   std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower)
                ++run;
            const std::string token = pattern.substr(i, run);
            if (lower == 'm' && run >= 3) {
                append(MonthName(date, token));
            } else if (lower == 'm' && run == 2) {
                append(field("%m"));
            } else if (lower == 'm') {
                append({Word("CAST"), Group({Group(field("%m")), Word("AS"), Word("INTEGER")})});
            } else if (lower == 'd' && run == 2) {
                append(field("%d"));
            } else if (lower == 'd' && run == 1) {
                append({Word("CAST"), Group({Group(field("%d")), Word("AS"), Word("INTEGER")})});
            } else if (lower == 'y' && run >= 3) {
                append(field("%Y"));
            } else if (lower == 'y' && run == 2) {
                append({Word("substr"), Group({Group(field("%Y")), Op(","), Number("3")})});
            } else {
                literal += token;
            }
            i += run;
        }
        flushLiteral();
        if (out.empty()) return {Text("")};
        return {Group(out)};
    }

    static Seq MonthName(const Node& date, const std::string& token) {
        static const char* const names[] = {"January", "February", "March",     "April",
                                            "May",     "June",     "July",      "August",
                                            "September", "October", "November", "December"};
        const bool allUpper = std::all_of(token.begin(), token.end(),
                                          [](char c) { return std::isupper(static_cast<unsigned char>(c)); });
        const bool firstUpper = std::isupper(static_cast<unsigned char>(token[0])) != 0;
        Seq out{Word("CASE"), Word("CAST"),
                Group({Word("strftime"), Group({Text("%m"), Op(","), date}), Word("AS"), Word("INTEGER")})};
        for (int m = 0; m < 12; ++m) {
            std::string name = std::string(names[m]).substr(0, token.size());
            for (std::size_t k = 0; k < name.size(); ++k) {
                const auto u = static_cast<unsigned char>(name[k]);
                name[k] = static_cast<char>(allUpper || (k == 0 && firstUpper) ? std::toupper(u) : std::tolower(u));
            }
            out.insert(out.end(), {Word("WHEN"), Number(std::to_string(m + 1)), Word("THEN"), Text(name)});
        }
        out.push_back(Word("END"));
        return {Group(out)};
    }

    // --- date + integer -----------------------------------------------------------------------

    bool IsDateReference(const Seq& seq, std::size_t i, std::size_t& after) const {
        if (!IsName(seq[i]) || IsReserved(seq[i])) return false;
        if (i > 0 && IsOp(seq[i - 1], ".")) return false;
        if (i + 2 < seq.size() && IsOp(seq[i + 1], ".") && IsName(seq[i + 2])) {
            after = i + 3;
            return schema_.IsDateColumn(TableOf(seq[i]), seq[i + 2].text);
        }
        if (i + 1 < seq.size() && seq[i + 1].kind == Kind::Group) return false;
        after = i + 1;
        return schema_.IsDateColumn({}, seq[i].text);
    }

    std::string TableOf(const Node& qualifier) const {
        const auto found = aliasTables_.find(NameKey(qualifier));
        return found != aliasTables_.end() ? found->second : qualifier.text;
    }

    // One operand of a sum: a signed primary, then any factors.
    static std::size_t SkipTerm(const Seq& seq, std::size_t j) {
        auto primary = [&](std::size_t k) -> std::size_t {
            if (k < seq.size() && (IsOp(seq[k], "-") || IsOp(seq[k], "+"))) ++k;
            if (k >= seq.size()) return 0;
            const Node& n = seq[k];
            if (n.kind == Kind::Number || n.kind == Kind::Marker || n.kind == Kind::Group || n.kind == Kind::Text)
                return k + 1;
            if (!IsName(n) || IsReserved(n)) return 0;
            ++k;
            while (k + 1 < seq.size() && IsOp(seq[k], ".") && IsName(seq[k + 1])) k += 2;
            if (k < seq.size() && seq[k].kind == Kind::Group) ++k;
            return k;
        };
        std::size_t k = primary(j);
        if (k == 0) return 0;
        while (k < seq.size() && (IsOp(seq[k], "*") || IsOp(seq[k], "/") || IsOp(seq[k], "%"))) {
            const std::size_t next = primary(k + 1);
            if (next == 0) break;
            k = next;
        }
        return k;
    }

    void RewriteDateArithmetic(Seq& seq) {
        for (std::size_t i = 0; i < seq.size(); ++i) {
            std::size_t after = 0;
            if (!IsDateReference(seq, i, after)) continue;
            if (after >= seq.size() || !(IsOp(seq[after], "+") || IsOp(seq[after], "-"))) continue;
            Seq days{Number("0")};
            std::size_t j = after;
            while (j < seq.size() && (IsOp(seq[j], "+") || IsOp(seq[j], "-"))) {
                const std::size_t end = SkipTerm(seq, j + 1);
                if (end == 0) break;
                days.insert(days.end(), seq.begin() + static_cast<std::ptrdiff_t>(j),
                            seq.begin() + static_cast<std::ptrdiff_t>(end));
                j = end;
            }
            if (j == after) continue;
            Seq date(seq.begin() + static_cast<std::ptrdiff_t>(i), seq.begin() + static_cast<std::ptrdiff_t>(after));
            Seq args = date;
            args.insert(args.end(), {Op(","), Group(days), Op("||"), Text(" days")});
            const Seq replacement{Word("date"), Group(args)};
            seq.erase(seq.begin() + static_cast<std::ptrdiff_t>(i), seq.begin() + static_cast<std::ptrdiff_t>(j));
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(i), replacement.begin(), replacement.end());
            i += replacement.size() - 1;
        }
    }

    // Every "Table alias" pair of the statement, so that a qualified column finds its table.
    void NoteAliases(const Seq& tokens) {
        for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (tokens[i].kind != Kind::Word || !schema_.FindTable(tokens[i].text)) continue;
            if (i > 0 && IsOp(tokens[i - 1], ".")) continue;
            std::size_t a = i + 1;
            if (IsWord(tokens[a], "as") && a + 1 < tokens.size()) ++a;
            if (IsName(tokens[a]) && !IsReserved(tokens[a]) && !StartsJoin(tokens[a]))
                aliasTables_[NameKey(tokens[a])] = tokens[i].text;
        }
    }

    const DialectTranslator& schema_;
    std::set<std::string> referencedColumns_;
    std::map<std::string, std::string> aliasTables_;
};

}  // namespace

void DialectTranslator::SetSchema(std::vector<Table> tables) {
    tables_.clear();
    for (Table& table : tables) {
        const std::string key = Lower(table.name);
        tables_[key] = std::move(table);
    }
    std::lock_guard lock(cacheMutex_);
    cache_.clear();
}

const DialectTranslator::Table* DialectTranslator::FindTable(const std::string& name) const {
    const auto found = tables_.find(Lower(name));
    return found == tables_.end() ? nullptr : &found->second;
}

bool DialectTranslator::IsDateColumn(const std::string& table, const std::string& column) const {
    auto isDate = [&](const Table& t) {
        for (const Column& c : t.columns) {
            if (Lower(c.name) != Lower(column)) continue;
            const std::string type = Lower(c.declaredType);
            return type.find("date") != std::string::npos && type.find("time") == std::string::npos;
        }
        return false;
    };
    if (!table.empty()) {
        const Table* t = FindTable(table);
        return t && isDate(*t);
    }
    return std::any_of(tables_.begin(), tables_.end(), [&](const auto& entry) { return isDate(entry.second); });
}

DialectTranslator::Translation DialectTranslator::Translate(const std::string& sql) const {
    {
        std::lock_guard lock(cacheMutex_);
        const auto found = cache_.find(sql);
        if (found != cache_.end()) return found->second;
    }
    Translation result = TranslateUncached(sql);
    std::lock_guard lock(cacheMutex_);
    if (cache_.size() > 512) cache_.clear();   // the program's statements are few; literals vary
    cache_.emplace(sql, result);
    return result;
}

DialectTranslator::Translation DialectTranslator::TranslateUncached(const std::string& sql) const {
    try {
        Translator translator(*this);
        return translator.Run(sql);
    } catch (const std::exception& e) {
        Translation failed;
        failed.error = e.what();
        return failed;
    }
}
