#include "tool/pgnreader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "board/castling.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/position.h"
#include "board/startposition.h"
#include "board/san.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isTagNameChar(char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '+' || c == '#' || c == '=' || c == ':' || c == '-'; }
// Characters that end a move or a number: everything PGN gives a meaning of its own.
bool endsSymbol(char c) { return isBlank(c) || c == '{' || c == '}' || c == '(' || c == ')' || c == ';' || c == '[' || c == ']' || c == '$' || c == '"'; }

constexpr std::string_view Results[] = {"1-0", "0-1", "1/2-1/2", "*"};

bool isResult(std::string_view token) {
    return std::find(std::begin(Results), std::end(Results), token) != std::end(Results);
}

// A move number: digits and the dots after them ("12", "12.", "12...").
bool isMoveNumber(std::string_view token) {
    size_t i = 0;
    while (i < token.size() && isDigit(token[i])) ++i;
    if (i == 0) return false;
    while (i < token.size() && token[i] == '.') ++i;
    return i == token.size();
}

// Annotation symbols written apart from their move: "!", "?!", "!!" and the like.
bool isSymbolNag(std::string_view token) {
    return !token.empty() && token.size() <= 2 &&
           std::all_of(token.begin(), token.end(), [](char c) { return c == '!' || c == '?'; });
}

std::string withoutCarriageReturns(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

// Splits the text between two moves: what belongs to the first (up to its last comment, NAG or
// variation) and what leads to the second (the blanks and its number).
void splitBetween(std::string_view between, size_t lastAnnotationEnd, std::string& trail, std::string& lead) {
    trail = withoutCarriageReturns(between.substr(0, lastAnnotationEnd));
    lead = withoutCarriageReturns(between.substr(lastAnnotationEnd));
}

}  // namespace

const std::string* PgnGame::tag(std::string_view name) const {
    for (const PgnTag& t : tags)
        if (t.name == name) return &t.value;
    return nullptr;
}

PgnReader::PgnReader(std::string text) : text_(std::move(text)) {
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) at_ = 3;
    for (size_t i = 0; i < text_.size(); ++i)
        if (text_[i] == '\n') newlines_.push_back(i);
}

int PgnReader::lineOf(size_t at) const {
    return 1 + static_cast<int>(std::lower_bound(newlines_.begin(), newlines_.end(), at) - newlines_.begin());
}

bool PgnReader::atLineStart(size_t at) const { return at == 0 || text_[at - 1] == '\n' || (at == 3 && text_.compare(0, 3, "\xEF\xBB\xBF") == 0); }

PgnReader::Outcome PgnReader::next(PgnGame& game, PgnError& error) {
    game = PgnGame{};
    // Blanks, escaped lines (% in the first column) and stray text outside any game.
    while (at_ < text_.size()) {
        if (isBlank(text_[at_])) {
            ++at_;
        } else if (text_[at_] == '%' && atLineStart(at_)) {
            while (at_ < text_.size() && text_[at_] != '\n') ++at_;
        } else {
            break;
        }
    }
    if (at_ >= text_.size()) return Outcome::End;
    game.line = lineOf(at_);
    if (!readTags(game, error)) {
        skipToNextGame(true);
        return Outcome::Skipped;
    }
    if (!startPosition(game, error) || !readMoveText(game, error)) {
        skipToNextGame(false);
        return Outcome::Skipped;
    }
    return Outcome::Game;
}

bool PgnReader::readTags(PgnGame& game, PgnError& error) {
    for (;;) {
        while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
        if (at_ >= text_.size() || text_[at_] != '[') return true;
        const size_t start = at_++;
        const auto broken = [&](const char* why) {
            error = PgnError{lineOf(start), std::string("broken tag: ") + why};
            return false;
        };
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
        PgnTag tag;
        while (at_ < text_.size() && isTagNameChar(text_[at_])) tag.name += text_[at_++];
        if (tag.name.empty()) return broken("no name");
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
        if (at_ >= text_.size() || text_[at_] != '"') return broken("no quoted value");
        ++at_;
        for (;;) {
            if (at_ >= text_.size() || text_[at_] == '\n') return broken("the value has no closing quote");
            const char c = text_[at_++];
            if (c == '"') break;
            if (c == '\\' && at_ < text_.size() && (text_[at_] == '"' || text_[at_] == '\\')) {
                tag.value += text_[at_++];
            } else if (c != '\r') {
                tag.value += c;
            }
        }
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
        if (at_ >= text_.size() || text_[at_] != ']') return broken("no closing bracket");
        ++at_;
        game.tags.push_back(std::move(tag));
    }
}

bool PgnReader::startPosition(PgnGame& game, PgnError& error) {
    const std::string* variant = game.tag("Variant");
    std::string name = variant ? *variant : "";
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The names GUIs, servers and databases write for Fischer Random chess.
    game.chess960 = name == "chess960" || name == "chess 960" || name == "fischerandom" || name == "fischer random" ||
                    name == "960";
    if (!name.empty() && !game.chess960 && name != "standard" && name != "chess" && name != "normal") {
        error = PgnError{game.line, "variant '" + *variant + "' is not standard chess or Chess960"};
        return false;
    }
    setChess960(game.chess960);
    resetToStartPosition();
    const std::string* fen = game.tag("FEN");
    const std::string* setUp = game.tag("SetUp");
    if (fen && !(setUp && *setUp == "0")) {
        if (!setupFromFen(fen->c_str())) {
            error = PgnError{game.line, "invalid FEN tag: " + *fen};
            return false;
        }
        game.fen = *fen;
    }
    return true;
}

bool PgnReader::skipComment(size_t& at, PgnError& error) const {
    const size_t start = at;
    if (text_[at] == ';') {
        while (at < text_.size() && text_[at] != '\n') ++at;
        if (at < text_.size()) ++at;
        return true;
    }
    const size_t close = text_.find('}', at);
    if (close == std::string::npos) {
        error = PgnError{lineOf(start), "a comment '{' is never closed"};
        return false;
    }
    at = close + 1;
    return true;
}

bool PgnReader::skipVariation(size_t& at, PgnError& error) const {
    const size_t start = at;
    int depth = 0;
    while (at < text_.size()) {
        const char c = text_[at];
        if (c == '{' || c == ';') {
            if (!skipComment(at, error)) return false;
            continue;
        }
        ++at;
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return true;
    }
    error = PgnError{lineOf(start), "a variation '(' is never closed"};
    return false;
}

bool PgnReader::readMoveText(PgnGame& game, PgnError& error) {
    size_t between = at_;   // where the text after the last move (or before the first) starts
    size_t annotated = at_;  // the end of the last comment, NAG or variation since then
    bool afterMove = false;
    const auto finish = [&](size_t end, std::string result) {
        // After the last comment only blanks or a stray move number can stand: they go.
        const std::string_view kept(text_.data() + between, std::min(annotated, end) - between);
        (afterMove ? game.moves.back().trail : game.ending) = withoutCarriageReturns(kept);
        game.result = std::move(result);
    };
    while (at_ < text_.size()) {
        const char c = text_[at_];
        if (isBlank(c)) {
            ++at_;
        } else if (c == '%' && atLineStart(at_)) {
            while (at_ < text_.size() && text_[at_] != '\n') ++at_;
        } else if (c == '{' || c == ';') {
            if (!skipComment(at_, error)) return false;
            annotated = at_;
        } else if (c == '(') {
            if (!afterMove) {
                error = PgnError{lineOf(at_), "a variation before the first move"};
                return false;
            }
            if (!skipVariation(at_, error)) return false;
            annotated = at_;
        } else if (c == ')') {
            error = PgnError{lineOf(at_), "')' closes no variation"};
            return false;
        } else if (c == '$') {
            ++at_;
            if (at_ >= text_.size() || !isDigit(text_[at_])) {
                error = PgnError{lineOf(at_ - 1), "'$' without a number"};
                return false;
            }
            while (at_ < text_.size() && isDigit(text_[at_])) ++at_;
            annotated = at_;
        } else if (c == '[') {
            // The next game's tags: this one ended without a result.
            finish(at_, "");
            return true;
        } else {
            const size_t start = at_;
            while (at_ < text_.size() && !endsSymbol(text_[at_])) ++at_;
            std::string_view token(text_.data() + start, at_ - start);
            if (isResult(token) || token == "1/2") {
                finish(start, token == "1/2" ? std::string("1/2-1/2") : std::string(token));
                return true;
            }
            // "1.e4" and "1...e5": the number and the move in one word.
            size_t digits = 0;
            while (digits < token.size() && isDigit(token[digits])) ++digits;
            if (digits > 0 && digits < token.size() && token[digits] == '.') {
                size_t dots = digits;
                while (dots < token.size() && token[dots] == '.') ++dots;
                if (dots < token.size()) {
                    at_ = start + dots;
                    continue;
                }
            }
            if (isMoveNumber(token)) continue;
            if (isSymbolNag(token) || token == "e.p." || token == "ep") {
                annotated = at_;
                continue;
            }
            if (token.empty()) {
                error = PgnError{lineOf(start), std::string("unexpected '") + c + "'"};
                return false;
            }
            if (static_cast<int>(game.moves.size()) >= MAX_GAME_PLIES) {
                error = PgnError{lineOf(start), "longer than " + std::to_string(MAX_GAME_PLIES) + " plies"};
                return false;
            }
            SanResult result;
            const Move m = sanToMove(token, &result);
            if (m == 0) {
                error = PgnError{lineOf(start), std::string(sanResultText(result)) + " '" + std::string(token) + "' (" +
                                                    (currentPosition().colour == WHITE ? "white" : "black") +
                                                    " to move)"};
                return false;
            }
            PgnMove move{m, "", std::string(token), "", lineOf(start)};
            const std::string_view rest(text_.data() + between, start - between);
            if (afterMove) {
                splitBetween(rest, annotated - between, game.moves.back().trail, move.lead);
            } else {
                move.lead = withoutCarriageReturns(rest);
            }
            game.moves.push_back(std::move(move));
            makeMoveLight(m);
            afterMove = true;
            between = annotated = at_;
        }
    }
    finish(at_, "");
    return true;
}

void PgnReader::skipToNextGame(bool inTags) {
    const auto nextLine = [&] {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
        if (at_ < text_.size()) ++at_;
    };
    const auto startsWithBracket = [&] {
        size_t i = at_;
        while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
        return i < text_.size() && text_[i] == '[';
    };
    nextLine();
    if (inTags)
        while (at_ < text_.size() && startsWithBracket()) nextLine();
    while (at_ < text_.size() && !startsWithBracket()) nextLine();
}

bool readWholeFile(const char* path, std::string& text) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    text.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string tagLine(const PgnTag& tag) {
    std::string line = "[" + tag.name + " \"";
    for (char c : tag.value) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
    }
    return line + "\"]";
}
