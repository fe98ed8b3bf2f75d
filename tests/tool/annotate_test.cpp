// quintarex-tool annotate end to end on a short file, at a small fixed depth: the output is PGN
// that this reader and pgn-extract read back, every move is evaluated, a queen left hanging is a
// blunder with the better move, and a tablebase draw says so.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/test_support.h"
#include "tool/annotation.h"
#include "tool/pgnreader.h"

namespace {

const char* const Games =
    "[Event \"Hanging queen\"]\n[White \"W\"]\n[Black \"B\"]\n[Result \"1-0\"]\n\n"
    "1. e4 e5 2. d4 Qg5 {the queen walks into the bishop's diagonal} 3. Bxg5 exd4 4. Qxd4 Nc6 1-0\n\n"
    "[Event \"Knight ending\"]\n[White \"W\"]\n[Black \"B\"]\n[Result \"1/2-1/2\"]\n[SetUp \"1\"]\n"
    "[FEN \"4k3/8/8/8/8/8/8/4KN2 w - - 0 60\"]\n\n60. Nd2 Kd7 61. Ke2 Ke6 1/2-1/2\n";

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A trail with the wrapping undone.
std::string flat(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

std::vector<PgnGame> readGames(const std::string& text) {
    PgnReader reader(text);
    std::vector<PgnGame> games;
    PgnGame game;
    PgnError error;
    for (PgnReader::Outcome o; (o = reader.next(game, error)) != PgnReader::Outcome::End;) {
        EXPECT_EQ(o, PgnReader::Outcome::Game) << error.line << ": " << error.reason;
        games.push_back(game);
    }
    return games;
}

}  // namespace

TEST(Annotate, WritesEvaluatedPgnMarksTheBlunderAndTheTablebaseDraw) {
    QX_REQUIRE_SHARED("syzygy/KNvK.rtbw");
    TempDir dir;
    const std::string input = dir.write("games.pgn", Games);
    const ProgramResult run =
        runProgram(std::string(QX_TOOL_PATH) + " annotate --depth 6 --syzygy " + sharedPath("syzygy") + " --report " +
                   dir.path + "/report -o " + dir.path + "/out.pgn " + input + " 2>&1");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");  // no terminal: nothing but errors
    const std::string out = slurp(dir.path + "/out.pgn");
    const std::vector<PgnGame> games = readGames(out);
    ASSERT_EQ(games.size(), 2u) << out;

    const PgnGame& hanging = games[0];
    ASSERT_EQ(hanging.moves.size(), 8u);
    for (const PgnMove& m : hanging.moves) EXPECT_NE(flat(m.trail).find("[%eval "), std::string::npos) << m.token;
    const PgnMove& qg5 = hanging.moves[3];
    EXPECT_EQ(qg5.token, "Qg5");
    EXPECT_EQ(flat(qg5.trail).rfind(" $4 {the queen walks into the bishop's diagonal}", 0), 0u) << qg5.trail;
    EXPECT_NE(flat(qg5.trail).find("Blunder."), std::string::npos) << qg5.trail;
    EXPECT_NE(flat(qg5.trail).find("(2... "), std::string::npos) << qg5.trail;  // the better line
    EXPECT_EQ(*hanging.tag("BlackBlunders"), "1");
    EXPECT_EQ(*hanging.tag("Annotator"), "quintarex-tool annotate, depth 6 a position");
    EXPECT_EQ(*hanging.tag("Result"), "1-0");
    EXPECT_EQ(hanging.result, "1-0");

    const PgnGame& ending = games[1];
    ASSERT_EQ(ending.moves.size(), 4u);
    for (const PgnMove& m : ending.moves) {
        EXPECT_NE(flat(m.trail).find("[%eval 0.00]"), std::string::npos) << m.trail;
        EXPECT_NE(flat(m.trail).find("Tablebase: draw."), std::string::npos) << m.trail;
    }
    EXPECT_EQ(ending.moves[0].lead, "60. ");

    const std::string index = slurp(dir.path + "/report/index.html");
    EXPECT_NE(index.find("href='game-002.html'"), std::string::npos);
    const std::string page = slurp(dir.path + "/report/game-001.html");
    EXPECT_NE(page.find("<svg class='graph'"), std::string::npos);
    EXPECT_NE(page.find("<svg class='board'"), std::string::npos);
    EXPECT_NE(page.find("id='m3'"), std::string::npos);  // the diagram of 2... Qg5
    EXPECT_EQ(page.find("http"), std::string::npos);     // nothing from outside

    // Debian's pgn-extract as an independent reader, when it is there.
    if (access("/usr/games/pgn-extract", X_OK) != 0) GTEST_SKIP() << "pgn-extract not installed";
    const ProgramResult check = runProgram("/usr/games/pgn-extract -r " + dir.path + "/out.pgn 2>&1");
    EXPECT_NE(check.output.find("2 games matched out of 2."), std::string::npos) << check.output;
    EXPECT_EQ(check.output.find("Line number"), std::string::npos) << check.output;
}

TEST(Annotate, ReportsUnreadableGamesAndSaysSoInItsStatus) {
    TempDir dir;
    const std::string input = dir.write("three.pgn", "[Event \"1\"]\n\n1. e4 e5 *\n\n[Event \"2\"]\n\n1. e4 e5 2. Ke3 *\n\n"
                                                     "[Event \"3\"]\n\n1. d4 *\n");
    const ProgramResult run = runProgram(std::string(QX_TOOL_PATH) + " annotate --nodes 2000 " + input + " 2>&1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(input + ":7: illegal move 'Ke3' (white to move); game skipped\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("[Event \"1\"]"), std::string::npos);
    EXPECT_NE(run.output.find("[Event \"3\"]"), std::string::npos);
    for (const char* arguments : {"", "--depth 3 --nodes 5 x.pgn", "--depth 0 x.pgn", "--frobnicate 1 x.pgn",
                                  "--depth 3 /nonexistent.pgn", "--depth 3 --book /nonexistent.bin " }) {
        const ProgramResult refused = runProgram(std::string(QX_TOOL_PATH) + " annotate " + arguments + " " +
                                                 (std::string(arguments).find("book") != std::string::npos ? input : "") +
                                                 " 2>&1");
        EXPECT_EQ(refused.status, 2) << arguments << "\n" << refused.output;
        EXPECT_FALSE(refused.output.empty()) << arguments;
    }
}

// Several workers write what one does, byte for byte (each game is judged from a cleared table);
// a Chess960 game is read and castles by its rule; another variant is refused.
TEST(Annotate, JobsWriteWhatOneProcessWritesAndChess960IsRead) {
    TempDir dir;
    const std::string input = dir.write(
        "games.pgn", std::string(Games) +
                         "\n[Event \"960\"]\n[Variant \"fischerandom\"]\n[SetUp \"1\"]\n"
                         "[FEN \"bqnnrkrb/pppppppp/8/8/8/8/PPPPPPPP/BQNNRKRB w KQkq - 0 1\"]\n\n"
                         "1. O-O Nd6 2. Ne3 O-O *\n\n[Event \"Crazy\"]\n[Variant \"crazyhouse\"]\n\n1. e4 *\n"
                         "\n[Event \"Standard again\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n");
    std::string outputs[2];
    for (int jobs : {1, 3}) {
        const std::string out = dir.path + "/out" + std::to_string(jobs);
        const ProgramResult run = runProgram(std::string(QX_TOOL_PATH) + " annotate --depth 5 --jobs " +
                                             std::to_string(jobs) + " --report " + out + " -o " + out + ".pgn " +
                                             input + " 2>&1");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find(":24: variant 'crazyhouse' is not standard chess or Chess960; game skipped"),
                  std::string::npos)
            << run.output;
        outputs[jobs == 1 ? 0 : 1] = slurp(out + ".pgn");
        for (const char* page : {"/index.html", "/game-001.html", "/game-003.html", "/game-004.html"})
            outputs[jobs == 1 ? 0 : 1] += slurp(out + page);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    const std::vector<PgnGame> games = readGames(slurp(dir.path + "/out3.pgn"));
    ASSERT_EQ(games.size(), 4u);
    const PgnGame& fischer = games[2];
    EXPECT_TRUE(fischer.chess960);
    ASSERT_EQ(fischer.moves.size(), 4u);
    EXPECT_EQ(fischer.moves[0].token, "O-O");
    EXPECT_EQ(fischer.moves[3].token, "O-O");
    for (const PgnMove& m : fischer.moves) EXPECT_NE(flat(m.trail).find("[%eval "), std::string::npos) << m.token;
    EXPECT_FALSE(games[3].chess960);
    EXPECT_EQ(games[3].moves.size(), 5u);
}

// The README's examples of the curve: what a drop costs depends on where it starts.
TEST(Annotate, MarksFollowTheExpectedScoreNotTheCentipawns) {
    const auto markFor = [](int before, int after) {
        return markForDrop(expectedScore(WhiteScore{before, 0}) - expectedScore(WhiteScore{after, 0}));
    };
    EXPECT_EQ(markFor(0, -200), Mark::Blunder);
    EXPECT_EQ(markFor(800, 500), Mark::Inaccuracy);
    EXPECT_EQ(markFor(0, -100), Mark::Mistake);
    EXPECT_EQ(markFor(1500, 900), Mark::None);
    EXPECT_NEAR(expectedScore(WhiteScore{100, 0}), 0.59, 0.005);
    EXPECT_EQ(expectedScore(WhiteScore{-3000, 2}), 1.0);  // a mate outweighs any count of material
}
