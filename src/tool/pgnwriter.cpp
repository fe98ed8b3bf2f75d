#include "tool/pgnwriter.h"

#include <cstdio>

namespace {

constexpr int LINE_WIDTH = 79;
// A blank the wrapping must not break at, as in "{[%eval 0.35]}".
constexpr char NO_BREAK = '\x01';

// Move text with the file's own pieces kept as they stand and the added words wrapped.
class MoveTextWriter {
public:
    void verbatim(const std::string& text) {
        out_ += text;
        const size_t newline = text.rfind('\n');
        column_ = newline == std::string::npos ? column_ + static_cast<int>(text.size())
                                               : static_cast<int>(text.size() - newline - 1);
    }
    // Added words, each after a blank or at the start of a new line.
    void words(const std::string& text) {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos) end = text.size();
            word(text.substr(start, end - start));
            start = end + 1;
        }
    }
    std::string take() { return std::move(out_); }

private:
    void word(const std::string& w) {
        if (w.empty()) return;
        if (column_ > 0 && column_ + 1 + static_cast<int>(w.size()) > LINE_WIDTH) {
            out_ += '\n';
            column_ = 0;
        } else if (column_ > 0 && out_.back() != ' ' && out_.back() != '\n') {
            out_ += ' ';
            ++column_;
        }
        for (const char c : w) out_ += c == NO_BREAK ? ' ' : c;
        column_ += static_cast<int>(w.size());
    }
    std::string out_;
    int column_ = 0;
};

// Whether a move's lead already numbers it (comments before the first move do not count).
bool leadHasNumber(const std::string& lead) {
    for (size_t i = 0; i < lead.size(); ++i) {
        if (lead[i] == '{') {
            i = lead.find('}', i);
            if (i == std::string::npos) return false;
        } else if (lead[i] == ';') {
            i = lead.find('\n', i);
            if (i == std::string::npos) return false;
        } else if (lead[i] >= '0' && lead[i] <= '9') {
            return true;
        }
    }
    return false;
}

// Blanks and at most a move number: words the wrapping may move.
bool isPlainNumber(const std::string& lead) {
    for (const char c : lead)
        if (c != ' ' && c != '\n' && c != '\t' && c != '.' && (c < '0' || c > '9')) return false;
    return true;
}

// Comments may not hold a closing brace.
std::string commentSafe(std::string text) {
    for (char& c : text)
        if (c == '}' || c == '{') c = ' ';
    return text;
}

std::string addedComment(const MoveJudgement& j) {
    std::string text = "[%eval" + std::string(1, NO_BREAK) + evalText(j.after) + "]";
    if (j.book) text += " Book move.";
    if (j.mark != Mark::None) text += std::string(" ") + markName(j.mark) + ".";
    if (!j.mateNote.empty()) {
        std::string note = j.mateNote;
        note[0] = static_cast<char>(note[0] - 'a' + 'A');
        text += " " + note + ".";
    }
    if (j.better) text += " " + j.bestSan + " was best (" + evalText(j.before) + ").";
    if (j.after.tablebase)
        text += std::string(" Tablebase: ") +
                (j.after.tablebaseWdl > 0 ? "White wins." : j.after.tablebaseWdl < 0 ? "Black wins." : "draw.");
    return "{" + commentSafe(text) + "}";
}

void setTag(std::vector<PgnTag>& tags, const std::string& name, const std::string& value) {
    for (PgnTag& t : tags) {
        if (t.name == name) {
            t.value = value;
            return;
        }
    }
    tags.push_back(PgnTag{name, value});
}

}  // namespace

std::string annotatedPgn(const PgnGame& game, const GameJudgement& judged, const std::string& annotator) {
    std::vector<PgnTag> tags = game.tags;
    if (game.tags.empty()) {
        // A game without tags still needs the seven a reader expects.
        for (const char* name : {"Event", "Site", "Date", "Round", "White", "Black"})
            tags.push_back(PgnTag{name, name[0] == 'D' ? "????.??.??" : "?"});
        tags.push_back(PgnTag{"Result", game.result.empty() ? "*" : game.result});
    }
    setTag(tags, "Annotator", annotator);
    const char* sides[2] = {"White", "Black"};
    for (int side = 0; side < 2; ++side) {
        const std::string s = sides[side];
        setTag(tags, s + "AverageCentipawnLoss", std::to_string(judged.averageLoss[side]));
        setTag(tags, s + "Inaccuracies", std::to_string(judged.marks[side][0]));
        setTag(tags, s + "Mistakes", std::to_string(judged.marks[side][1]));
        setTag(tags, s + "Blunders", std::to_string(judged.marks[side][2]));
    }
    std::string out;
    for (const PgnTag& t : tags) out += tagLine(t) + "\n";
    out += "\n";

    MoveTextWriter text;
    for (size_t i = 0; i < game.moves.size(); ++i) {
        const PgnMove& move = game.moves[i];
        const MoveJudgement* j = i < judged.moves.size() ? &judged.moves[i] : nullptr;
        std::string lead = move.lead;
        if (i == 0) {
            while (!lead.empty() && (lead[0] == ' ' || lead[0] == '\n')) lead.erase(0, 1);
        }
        if (isPlainNumber(lead)) {
            for (char& c : lead)
                if (c == '\n' || c == '\t') c = ' ';
            text.words(lead);
        }
        else {
            text.verbatim(lead);
        }
        if (j && !leadHasNumber(move.lead)) text.words(std::to_string(j->moveNumber) + (j->white ? "." : "..."));
        text.words(move.token);
        if (!j) {
            text.verbatim(move.trail);
            continue;
        }
        if (j->mark != Mark::None) text.words(markNag(j->mark));
        text.verbatim(move.trail);
        text.words(addedComment(*j));
        if (j->better && !j->bestLine.empty()) text.words("(" + j->bestLine + ")");
    }
    if (!game.ending.empty()) text.verbatim(game.ending);
    text.words(game.result.empty() ? (game.tag("Result") ? *game.tag("Result") : std::string("*")) : game.result);
    out += text.take();
    return out + "\n\n";
}
