#include "tool/judgement_wire.h"

#include <cstdint>
#include <cstring>

namespace {

// Numbers as 8 bytes in this machine's order (both ends are this program), texts and lists with
// their length first.
class Writer {
public:
    void number(int64_t v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void real(double v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void text(const std::string& s) {
        number(static_cast<int64_t>(s.size()));
        bytes_ += s;
    }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool good() const { return good_; }
    bool atEnd() const { return at_ == bytes_.size(); }
    int64_t number() {
        int64_t v = 0;
        take(&v, sizeof v);
        return v;
    }
    int integer() { return static_cast<int>(number()); }
    bool flag() { return number() != 0; }
    double real() {
        double v = 0;
        take(&v, sizeof v);
        return v;
    }
    std::string text() {
        const int64_t size = number();
        if (!good_ || size < 0 || static_cast<uint64_t>(size) > bytes_.size() - at_) {
            good_ = false;
            return {};
        }
        std::string s = bytes_.substr(at_, static_cast<size_t>(size));
        at_ += static_cast<size_t>(size);
        return s;
    }
    // A list length no longer than what is left could hold (each entry is at least one number).
    size_t count() {
        const int64_t n = number();
        if (!good_ || n < 0 || static_cast<uint64_t>(n) > (bytes_.size() - at_) / sizeof(int64_t)) {
            good_ = false;
            return 0;
        }
        return static_cast<size_t>(n);
    }

private:
    void take(void* out, size_t size) {
        if (!good_ || bytes_.size() - at_ < size) {
            good_ = false;
            return;
        }
        std::memcpy(out, bytes_.data() + at_, size);
        at_ += size;
    }
    const std::string& bytes_;
    size_t at_ = 0;
    bool good_ = true;
};

void put(Writer& w, const WhiteScore& s) {
    w.number(s.cp);
    w.number(s.mate);
}

void put(Writer& w, const PositionVerdict& v) {
    for (bool b : {v.stopped, v.noMove, v.checkmate, v.tablebase}) w.number(b);
    put(w, v.score);
    w.number(v.best);
    w.number(v.tablebaseWdl);
    w.number(v.depth);
    w.number(v.nodes);
    w.number(static_cast<int64_t>(v.lines.size()));
    for (const AnalysisLine& line : v.lines) {
        put(w, line.score);
        w.number(static_cast<int64_t>(line.moves.size()));
        for (Move m : line.moves) w.number(m);
    }
}

void put(Writer& w, const MoveJudgement& j) {
    for (const std::string* s : {&j.san, &j.boardBefore, &j.bestSan, &j.bestLine, &j.mateNote}) w.text(*s);
    for (int n : {j.ply, j.moveNumber, j.from, j.to, j.cpLoss, static_cast<int>(j.mark), j.bestFrom, j.bestTo})
        w.number(n);
    for (bool b : {j.white, j.book, j.better}) w.number(b);
    w.real(j.drop);
    put(w, j.before);
    put(w, j.after);
}

void get(Reader& r, WhiteScore& s) {
    s.cp = r.integer();
    s.mate = r.integer();
}

void get(Reader& r, PositionVerdict& v) {
    for (bool* b : {&v.stopped, &v.noMove, &v.checkmate, &v.tablebase}) *b = r.flag();
    get(r, v.score);
    v.best = static_cast<Move>(r.number());
    v.tablebaseWdl = r.integer();
    v.depth = r.integer();
    v.nodes = r.number();
    v.lines.resize(r.count());
    for (AnalysisLine& line : v.lines) {
        get(r, line.score);
        line.moves.resize(r.count());
        for (Move& m : line.moves) m = static_cast<Move>(r.number());
    }
}

void get(Reader& r, MoveJudgement& j) {
    for (std::string* s : {&j.san, &j.boardBefore, &j.bestSan, &j.bestLine, &j.mateNote}) *s = r.text();
    int mark = 0;
    for (int* n : {&j.ply, &j.moveNumber, &j.from, &j.to, &j.cpLoss, &mark, &j.bestFrom, &j.bestTo}) *n = r.integer();
    j.mark = mark >= 0 && mark <= static_cast<int>(Mark::Blunder) ? static_cast<Mark>(mark) : Mark::None;
    for (bool* b : {&j.white, &j.book, &j.better}) *b = r.flag();
    j.drop = r.real();
    get(r, j.before);
    get(r, j.after);
}

}  // namespace

std::string encodeJudgement(const GameJudgement& judged) {
    Writer w;
    w.number(judged.complete);
    for (int side = 0; side < 2; ++side) {
        w.number(judged.averageLoss[side]);
        for (int k = 0; k < 3; ++k) w.number(judged.marks[side][k]);
    }
    put(w, judged.start);
    w.number(static_cast<int64_t>(judged.moves.size()));
    for (const MoveJudgement& j : judged.moves) put(w, j);
    return w.take();
}

bool decodeJudgement(const std::string& bytes, GameJudgement* judged) {
    Reader r(bytes);
    GameJudgement out;
    out.complete = r.flag();
    for (int side = 0; side < 2; ++side) {
        out.averageLoss[side] = r.integer();
        for (int k = 0; k < 3; ++k) out.marks[side][k] = r.integer();
    }
    get(r, out.start);
    out.moves.resize(r.count());
    for (MoveJudgement& j : out.moves) get(r, j);
    if (!r.good() || !r.atEnd()) return false;
    *judged = std::move(out);
    return true;
}
