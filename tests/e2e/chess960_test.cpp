// Chess960 through the engine's streams: UCI with UCI_Chess960 and both FEN forms, castling both
// ways for both sides (a king that stays, a rook already on its square), a castling through an
// attacked square refused; xboard's variant fischerandom with setboard and O-O / O-O-O.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "board/castling.h"
#include "board/fen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "e2e/engine_process.h"
#include "support/test_support.h"

namespace {

// A search's info lines with their timings blanked: equal for two identical positions.
std::vector<std::string> searchLines(EngineProcess& engine, const std::string& position) {
    const size_t from = engine.lineCount();
    engine.run({position, "go depth 4", "<^bestmove "});
    static const std::regex timing(" (time|nps) [0-9]+");
    std::vector<std::string> lines;
    for (const std::string& line : engine.linesWith("^info depth ", from))
        lines.push_back(std::regex_replace(line, timing, ""));
    lines.push_back(engine.lines().back());
    return lines;
}

// The FEN this process's own board reaches from `fen` after `moves`, in Chess960.
std::string reached(const std::string& fen, const std::vector<std::string>& moves) {
    Chess960Game game;
    resetToStartPosition();
    EXPECT_TRUE(setupFromFen(fen.c_str())) << fen;
    for (const std::string& m : moves) EXPECT_TRUE(playHere(m)) << m;
    char text[FEN_BUFFER_SIZE];
    positionToFen(text);
    return text;
}

std::string joined(const std::vector<std::string>& moves) {
    std::string text;
    for (const std::string& m : moves) text += " " + m;
    return text;
}

}  // namespace

TEST(Chess960Uci, CastlesBothWaysInBothFenFormsAndRefusesThroughAttack) {
    EngineProcess engine;
    engine.run({"uci", "<^option name UCI_Chess960 type check default false", "<^uciok",
                "setoption name UCI_Chess960 value true", "isready", "<^readyok"});
    const struct {
        const char* fen;
        std::vector<std::string> moves;
    } games[] = {
        // Shredder-FEN: white's king b1 takes a1 (to c1, the rook to d1); black's king stays on g8.
        {"r5kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w HAha - 0 1", {"b1a1", "g8h8"}},
        // The same with white castling the other way, black the long way (king g8 to c8).
        {"r5kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w HAha - 0 1", {"b1h1", "g8a8"}},
        // X-FEN: the queenside rook already stands on d1, the king goes e1-c1 past it.
        {"rr2k2r/pppppppp/8/8/8/8/PPPPPPPP/3RK2R w KQk - 0 1", {"e1d1", "e8h8"}},
        // X-FEN with an inner rook named by its file.
        {"1r2k1r1/pppppppp/8/8/8/8/PPPPPPPP/RR2K1R1 w Bgb - 0 1", {"e1b1", "e8g8"}},
    };
    for (const auto& g : games) {
        SCOPED_TRACE(g.fen + joined(g.moves));
        const std::string after = reached(g.fen, g.moves);
        const std::vector<std::string> played =
            searchLines(engine, std::string("position fen ") + g.fen + " moves" + joined(g.moves));
        const std::vector<std::string> direct = searchLines(engine, "position fen " + after);
        EXPECT_EQ(played, direct) << "the castlings reached " << after;
        EXPECT_EQ(engine.linesWith("illegal move").size(), 0u);
    }
    // The engine writes its own castling as the king taking its rook.
    engine.run({"position fen r5kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w HAha - 0 1", "go depth 2 searchmoves b1a1",
                "<^bestmove b1a1"});
    // Through e1, attacked by the rook on e8: refused, and the position is the one before.
    const size_t from = engine.lineCount();
    engine.run({"position fen 4r1k1/8/8/8/8/8/8/1K5R w H - 0 1 moves b1h1", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("illegal move b1h1", from).size(), 1u);
    // Off again: standard chess castles e1g1 and still reads e1h1.
    engine.run({"setoption name UCI_Chess960 value false", "position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6",
                "go depth 1 searchmoves e1g1", "<^bestmove e1g1",
                "position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1h1", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("illegal move").size(), 1u) << "only the castling through attack was refused";
}

TEST(Chess960Xboard, FischerandomWithSetboardAndCastlingBothWays) {
    EngineProcess engine;
    engine.run({"xboard", "protover 2", "<^feature variants=\"normal,fischerandom\"", "<^feature ping=1"});
    const struct {
        const char* fen;
        const char* white;  // both sides castle the interface's way, then the engine moves for white
        const char* black;
    } games[] = {
        {"r5kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w HAha - 0 1", "O-O-O", "O-O"},
        {"r5kr/pppppppp/8/8/8/8/PPPPPPPP/RK5R w KQkq - 0 1", "O-O", "O-O-O"},
        {"rr2k2r/pppppppp/8/8/8/8/PPPPPPPP/3RK2R w KQk - 0 1", "O-O-O", "O-O"},
    };
    for (const auto& g : games) {
        SCOPED_TRACE(std::string(g.fen) + " " + g.white + " " + g.black);
        const size_t from = engine.lineCount();
        engine.run({"new", "variant fischerandom", "force", std::string("setboard ") + g.fen, "sd 3",
                    std::string("usermove ") + g.white, std::string("usermove ") + g.black, "go"});
        const std::string reply = moveOf(engine.waitFor("^move ", from));
        EXPECT_EQ(engine.linesWith("Illegal move", from).size(), 0u);
        Chess960Game game;
        resetToStartPosition();
        ASSERT_TRUE(setupFromFen(g.fen));
        ASSERT_TRUE(playHere(g.white));
        ASSERT_TRUE(playHere(g.black));
        EXPECT_TRUE(playHere(reply)) << reply << " is legal after " << g.white << " " << g.black;
    }
    // Back to standard chess with the next game.
    engine.run({"new", "force", "usermove e2e4", "usermove e7e5", "usermove g1f3", "usermove b8c6", "usermove f1c4",
                "usermove g8f6", "usermove e1g1"});
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal move").size(), 0u);
}
