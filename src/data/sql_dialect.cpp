#include "data/sql_dialect.h"

#include <vector>

#include "data/norwegian_order.h"

namespace lagrull::data {

namespace {

enum class Kind { Word, Literal, Space, Punct };

struct Token {
    Kind kind;
    std::string text;
};

using Tokens = std::vector<Token>;

bool isWordChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '$' || u == '.' || u >= 0x80;
}

// Literals (quoted texts and names) pass through whole; a word keeps its
// dots so that "m.enavn" is one token.
Tokens tokenize(std::string_view sql) {
    Tokens out;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        std::size_t j = i + 1;
        Kind kind = Kind::Punct;
        if (c == '\'' || c == '"' || c == '[' || c == '`') {
            const char close = c == '[' ? ']' : c;
            kind = Kind::Literal;
            while (j < sql.size()) {
                if (sql[j] == close) {
                    if (close != ']' && j + 1 < sql.size() && sql[j + 1] == close) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            kind = Kind::Space;
            while (j < sql.size() &&
                   (sql[j] == ' ' || sql[j] == '\t' || sql[j] == '\r' || sql[j] == '\n'))
                ++j;
        } else if (isWordChar(c) || c == ':') {
            kind = Kind::Word;
            while (j < sql.size() && isWordChar(sql[j])) ++j;
        }
        out.push_back({kind, std::string(sql.substr(i, j - i))});
        i = j;
    }
    return out;
}

bool isWord(const Token& t, std::string_view word) {
    if (t.kind != Kind::Word || t.text.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = t.text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

bool isPunct(const Token& t, char c) {
    return t.kind == Kind::Punct && t.text.size() == 1 && t.text[0] == c;
}

std::size_t skipSpace(const Tokens& t, std::size_t i, std::size_t end) {
    while (i < end && t[i].kind == Kind::Space) ++i;
    return i;
}

// The token after the parenthesis that closes the one at `open`.
std::size_t matchingClose(const Tokens& t, std::size_t open, std::size_t end) {
    int depth = 0;
    for (std::size_t i = open; i < end; ++i) {
        if (isPunct(t[i], '('))
            ++depth;
        else if (isPunct(t[i], ')') && --depth == 0)
            return i;
    }
    return end;
}

std::string emit(const Tokens& t, std::size_t begin, std::size_t end);

std::string trimmedEmit(const Tokens& t, std::size_t begin, std::size_t end) {
    while (begin < end && t[begin].kind == Kind::Space) ++begin;
    while (end > begin && t[end - 1].kind == Kind::Space) --end;
    return emit(t, begin, end);
}

// substring(x from a for b) → substr(x, a, b); substring(x, a, b) → substr(x, a, b).
std::string emitSubstring(const Tokens& t, std::size_t open, std::size_t close) {
    std::vector<std::size_t> cuts;  // positions of the top-level FROM and FOR
    int depth = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (isPunct(t[i], '('))
            ++depth;
        else if (isPunct(t[i], ')'))
            --depth;
        else if (depth == 0 && (isWord(t[i], "from") || isWord(t[i], "for")))
            cuts.push_back(i);
    }
    std::string out = "substr(";
    std::size_t from = open + 1;
    for (std::size_t cut : cuts) {
        out += trimmedEmit(t, from, cut);
        out += ", ";
        from = cut + 1;
    }
    out += trimmedEmit(t, from, close);
    out += ")";
    return out;
}

bool endsOrderList(const Token& tok) {
    return isPunct(tok, ';') || isWord(tok, "limit") || isWord(tok, "offset");
}

// One ORDER BY term: the expression ordered by the Norwegian collation,
// its ASC or DESC kept after it.
std::string emitOrderTerm(const Tokens& t, std::size_t begin, std::size_t end) {
    std::size_t last = end;
    while (last > begin && t[last - 1].kind == Kind::Space) --last;
    std::size_t exprEnd = last;
    std::string direction;
    if (last > begin && (isWord(t[last - 1], "asc") || isWord(t[last - 1], "desc"))) {
        direction = " " + t[last - 1].text;
        exprEnd = last - 1;
    }
    bool hasCollate = false;
    for (std::size_t i = begin; i < exprEnd; ++i)
        hasCollate = hasCollate || isWord(t[i], "collate");
    std::string expr = emit(t, begin, exprEnd);
    while (!expr.empty() && expr.back() == ' ') expr.pop_back();
    if (!hasCollate && !expr.empty()) {
        std::size_t lead = 0;
        while (lead < expr.size() && expr[lead] == ' ') ++lead;
        expr = expr.substr(0, lead) + "(" + expr.substr(lead) + ") COLLATE " + kNorwegianCollation;
    }
    return expr + direction + emit(t, last, end);
}

// The terms after ORDER BY, up to the end of the list; returns where it ended.
std::size_t emitOrderList(const Tokens& t, std::size_t i, std::size_t end, std::string& out) {
    int depth = 0;
    std::size_t termStart = i;
    for (; i < end; ++i) {
        if (isPunct(t[i], '('))
            ++depth;
        else if (isPunct(t[i], ')')) {
            if (depth == 0) break;
            --depth;
        } else if (depth == 0 && endsOrderList(t[i]))
            break;
        else if (depth == 0 && isPunct(t[i], ',')) {
            out += emitOrderTerm(t, termStart, i) + ",";
            termStart = i + 1;
        }
    }
    out += emitOrderTerm(t, termStart, i);
    return i;
}

std::string emit(const Tokens& t, std::size_t begin, std::size_t end) {
    std::string out;
    for (std::size_t i = begin; i < end; ++i) {
        if (isWord(t[i], "substring")) {
            const std::size_t open = skipSpace(t, i + 1, end);
            if (open < end && isPunct(t[open], '(')) {
                const std::size_t close = matchingClose(t, open, end);
                out += emitSubstring(t, open, close);
                i = close;
                continue;
            }
        }
        if (isWord(t[i], "order")) {
            const std::size_t by = skipSpace(t, i + 1, end);
            if (by < end && isWord(t[by], "by")) {
                out += t[i].text + " " + t[by].text + " ";
                i = emitOrderList(t, skipSpace(t, by + 1, end), end, out) - 1;
                continue;
            }
        }
        out += t[i].text;
    }
    return out;
}

}  // namespace

std::string translateLocalSql(std::string_view localSql) {
    const Tokens tokens = tokenize(localSql);
    return emit(tokens, 0, tokens.size());
}

}  // namespace lagrull::data
