#include "tool/annotation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/castling.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/san.h"
#include "board/startposition.h"
#include "book/book.h"

namespace {

// Centipawns for which the expected score moves by a factor e: a pawn is worth about 59 %,
// three pawns 75 %, a rook 86 % (see the README for why this slope).
constexpr double LOGISTIC_SCALE_CP = 270.0;
constexpr int CLAMP_CP = 1000;
constexpr int BEST_LINE_MOVES = 10;

constexpr char PieceLetters[] = ".PNBRQK";

int boardSquare(int square, int colour) { return colour == BLACK ? square ^ 56 : square; }

std::string boardOfCurrentPosition() {
    const Position& p = currentPosition();
    std::string board(64, '.');
    for (int s = 0; s < 64; ++s) {
        const int type = p.pieceType(s);
        if (type == EMPTY) continue;
        const bool own = (p.own >> s) & 1;
        const bool white = own == (p.colour == WHITE);
        char letter = PieceLetters[type];
        if (!white) letter = static_cast<char>(letter - 'A' + 'a');
        board[boardSquare(s, static_cast<int>(p.colour))] = letter;
    }
    return board;
}

int moveNumberOfFen(const std::string& fen) {
    const size_t space = fen.find_last_of(' ');
    if (space == std::string::npos) return 1;
    const int n = std::atoi(fen.c_str() + space + 1);
    return n > 0 && n < 10000 ? n : 1;
}

bool isBookMove(FILE* book, Move m) {
    if (!book) return false;
    BookEntry entries[BOOK_MAX_MOVES];
    int count = 0;
    if (gatherBookMoves(book, currentPosition().key, entries, &count) != BOOK_FOUND) return false;
    char played[8];
    moveToText(played, m, &currentPosition());
    if (played[4] == ' ') played[4] = '\0';
    for (int i = 0; i < count; ++i) {
        char text[8];
        if (bookMoveToTextInPosition(text, entries[i].move) == 0 && std::strcmp(text, played) == 0) return true;
    }
    return false;
}

// What the mover's mates before and after the move say: a mate it no longer has, one it now faces.
std::string mateNoteFor(const PositionVerdict& before, const PositionVerdict& after, bool white) {
    if (after.checkmate) return "";
    const int had = white ? before.score.mate : -before.score.mate;
    const int faces = white ? after.score.mate : -after.score.mate;
    std::string note;
    if (had > 0 && faces <= 0) note = "missed mate in " + std::to_string(had);
    if (had >= 0 && faces < 0)
        note += std::string(note.empty() ? "allows" : " and allows") + " mate in " + std::to_string(-faces);
    return note;
}

}  // namespace

// White's expected score in a judged position: mates and tablebase results are certain.
double whiteExpectation(const PositionVerdict& v) {
    if (v.checkmate) return v.score.cp > 0 ? 1.0 : 0.0;
    if (v.noMove) return 0.5;
    if (v.tablebase) return v.tablebaseWdl > 0 ? 1.0 : v.tablebaseWdl < 0 ? 0.0 : 0.5;
    return expectedScore(v.score);
}

double expectedScore(const WhiteScore& score) {
    if (score.mate != 0) return score.mate > 0 ? 1.0 : 0.0;
    return 1.0 / (1.0 + std::exp(-score.cp / LOGISTIC_SCALE_CP));
}

Mark markForDrop(double drop) {
    if (drop >= BLUNDER_DROP) return Mark::Blunder;
    if (drop >= MISTAKE_DROP) return Mark::Mistake;
    if (drop >= INACCURACY_DROP) return Mark::Inaccuracy;
    return Mark::None;
}

int clampedCp(const WhiteScore& score) {
    if (score.mate != 0) return score.mate > 0 ? CLAMP_CP : -CLAMP_CP;
    return std::clamp(score.cp, -CLAMP_CP, CLAMP_CP);
}

std::string lineToSan(const std::vector<Move>& line, int moveNumber, bool whiteToMove, int maxMoves) {
    std::string text;
    int made = 0;
    for (const Move m : line) {
        if (made >= maxMoves || stackNearlyFull()) break;
        char san[SAN_SIZE];
        moveToSan(san, m);
        if (!text.empty()) text += ' ';
        if (whiteToMove)
            text += std::to_string(moveNumber) + ". ";
        else if (made == 0)
            text += std::to_string(moveNumber) + "... ";
        text += san;
        makeMoveLight(m);
        ++made;
        if (!whiteToMove) ++moveNumber;
        whiteToMove = !whiteToMove;
    }
    for (; made > 0; --made) takeBack();
    return text;
}

std::string evalText(const PositionVerdict& verdict) {
    if (verdict.checkmate) return "#0";
    if (verdict.score.mate != 0) return "#" + std::to_string(verdict.score.mate);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", verdict.score.cp / 100.0);
    return text;
}

const char* markNag(Mark mark) {
    return mark == Mark::Blunder ? "$4" : mark == Mark::Mistake ? "$2" : mark == Mark::Inaccuracy ? "$6" : "";
}
const char* markName(Mark mark) {
    return mark == Mark::Blunder      ? "Blunder"
           : mark == Mark::Mistake    ? "Mistake"
           : mark == Mark::Inaccuracy ? "Inaccuracy"
                                      : "";
}
const char* markSymbol(Mark mark) {
    return mark == Mark::Blunder ? "??" : mark == Mark::Mistake ? "?" : mark == Mark::Inaccuracy ? "?!" : "";
}

GameJudgement judgeGame(const PgnGame& game, const AnnotationSettings& settings,
                        const std::function<void(int)>& progress) {
    GameJudgement judged;
    setChess960(game.chess960);
    resetToStartPosition();
    if (!game.fen.empty() && !setupFromFen(game.fen.c_str())) return judged;
    int moveNumber = game.fen.empty() ? 1 : moveNumberOfFen(game.fen);
    // A book knows the standard start and the games from it only.
    const bool bookGame = !settings.bookFile.empty() && standardCastlingSquares();
    FILE* book = bookGame ? std::fopen(settings.bookFile.c_str(), "rb") : nullptr;

    judged.start = analysePosition(settings.analysis, false);
    int analysed = 1;
    if (progress) progress(analysed);
    const PositionVerdict* previous = &judged.start;
    int lossSum[2] = {0, 0}, lossCount[2] = {0, 0};
    judged.moves.reserve(game.moves.size());
    for (size_t i = 0; i < game.moves.size() && !previous->stopped; ++i) {
        const Move m = game.moves[i].move;
        MoveJudgement j;
        const Position& p = currentPosition();
        j.ply = static_cast<int>(i);
        j.white = p.colour == WHITE;
        j.moveNumber = moveNumber;
        j.boardBefore = boardOfCurrentPosition();
        j.from = boardSquare(moveFrom(m), static_cast<int>(p.colour));
        j.to = boardSquare(moveTo(m), static_cast<int>(p.colour));
        char san[SAN_SIZE];
        moveToSan(san, m);
        j.san = san;
        j.book = isBookMove(book, m);
        j.before = *previous;
        const Move best = previous->best;
        if (best != 0 && best != m) {
            char bestSan[SAN_SIZE];
            moveToSan(bestSan, best);
            j.bestSan = bestSan;
            j.bestLine = lineToSan(previous->lines.empty() ? std::vector<Move>{best} : previous->lines[0].moves,
                                   moveNumber, j.white, BEST_LINE_MOVES);
            j.bestFrom = boardSquare(moveFrom(best), static_cast<int>(p.colour));
            j.bestTo = boardSquare(moveTo(best), static_cast<int>(p.colour));
        }

        ensureGameRoom();
        makeMove(m);
        j.after = analysePosition(settings.analysis, true);
        if (j.after.stopped) break;
        if (progress) progress(++analysed);

        const double before = whiteExpectation(j.before), after = whiteExpectation(j.after);
        j.drop = std::max(0.0, j.white ? before - after : after - before);
        const int side = j.white ? 0 : 1;
        j.cpLoss = std::max(0, (clampedCp(j.before.score) - clampedCp(j.after.score)) * (j.white ? 1 : -1));
        if (j.after.checkmate) j.cpLoss = 0;
        if (!j.book && best != 0 && best != m) {
            j.mark = markForDrop(j.drop);
            j.mateNote = mateNoteFor(j.before, j.after, j.white);
            j.better = j.mark != Mark::None || !j.mateNote.empty();
        }
        if (!j.book) {
            lossSum[side] += j.cpLoss;
            ++lossCount[side];
        }
        if (j.mark != Mark::None) ++judged.marks[side][static_cast<int>(j.mark) - 1];
        if (!j.white) ++moveNumber;
        judged.moves.push_back(std::move(j));
        previous = &judged.moves.back().after;
    }
    if (book) std::fclose(book);
    for (int side = 0; side < 2; ++side)
        judged.averageLoss[side] = lossCount[side] ? (lossSum[side] + lossCount[side] / 2) / lossCount[side] : 0;
    judged.complete = !judged.start.stopped && judged.moves.size() == game.moves.size();
    return judged;
}
