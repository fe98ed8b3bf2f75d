// The PGN reader on hand-made hard cases: what it keeps, what it refuses and where it goes on.
#include <gtest/gtest.h>

#include <string>

#include "tool/pgnreader.h"

namespace {

std::string moveText(const PgnGame& g) {
    std::string text;
    for (const PgnMove& m : g.moves) text += m.lead + m.token + m.trail;
    return text + g.ending;
}

std::string crlf(std::string text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

const std::string HardMoves =
    "{Before the first move} 1.e4 e5 2 Nf3 $1 Nc6!? 3. Bb5 ! {Ruy Lopez} (3. Bc4 Bc5 (3... Nf6 4. Ng5)\n"
    "4. c3) 3... a6\n% an escaped line\n4. Ba4 Nf6 5.0-0 Be7 ; a line comment (with a parenthesis\n"
    "6. Re1 b5 7. Bb3 d6 8. c3 O-O 9. h3 Nb8 10. d4 Nbd7 {Breyer}";

const std::string File = "\xEF\xBB\xBF" + crlf(
    "[Event \"Hard \\\"cases\\\"\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"1/2-1/2\"]\n\n" + HardMoves +
    " 1/2-1/2\n\n"
    "[Event \"Illegal\"]\n\n1. e4 e5\n2. Ke3 Nc6 *\n\n"                                              // lines 12-15
    "[Event \"Endgame\"]\n[SetUp \"1\"]\n[FEN \"4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1\"]\n\n"
    "1. b8=Q+ Kd7 2. Qb7+ Ke6 3. Kf2 g1=Q+ 4. Kxg1 1-0\n"
    "[Event \"No result\"]\n\n1. d4 d5\n"
    "[Event \"Bad\n[White \"X\"]\n\n1. e4 *\n\n"                                                      // line 25
    "[Event \"Black starts\"]\n[FEN \"4k3/8/8/8/8/8/6p1/4K3 b - - 0 40\"]\n\n40... g1=Q+ 41. Kd2 *\n"
    "[Event \"Open comment\"]\n\n1. e4 {never closed\n");

}  // namespace

TEST(PgnReader, ReadsHardCasesKeepsTheirTextAndSkipsBrokenGames) {
    PgnReader reader(File);
    std::vector<PgnGame> games;
    std::vector<PgnError> errors;
    for (;;) {
        PgnGame game;
        PgnError error;
        const PgnReader::Outcome outcome = reader.next(game, error);
        if (outcome == PgnReader::Outcome::End) break;
        if (outcome == PgnReader::Outcome::Skipped)
            errors.push_back(error);
        else
            games.push_back(game);
    }
    ASSERT_EQ(games.size(), 4u);
    ASSERT_EQ(errors.size(), 3u);

    const PgnGame& hard = games[0];
    EXPECT_EQ(*hard.tag("Event"), "Hard \"cases\"");
    EXPECT_EQ(tagLine(hard.tags[0]), "[Event \"Hard \\\"cases\\\"\"]");
    EXPECT_EQ(hard.moves.size(), 20u);
    EXPECT_EQ(hard.result, "1/2-1/2");
    EXPECT_EQ(hard.line, 1);
    EXPECT_EQ(moveText(hard), HardMoves);  // every comment, NAG, variation and number as written
    EXPECT_EQ(hard.moves[4].token, "Bb5");
    EXPECT_EQ(hard.moves[4].trail, " ! {Ruy Lopez} (3. Bc4 Bc5 (3... Nf6 4. Ng5)\n4. c3)");
    EXPECT_EQ(hard.moves[8].token, "0-0");
    EXPECT_EQ(hard.moves[19].token, "Nbd7");
    EXPECT_EQ(hard.moves[19].line, 10);

    EXPECT_EQ(errors[0].line, 15);
    EXPECT_NE(errors[0].reason.find("illegal move 'Ke3'"), std::string::npos) << errors[0].reason;

    EXPECT_EQ(games[1].fen, "4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1");
    EXPECT_EQ(games[1].moves.size(), 7u);
    EXPECT_EQ(games[1].result, "1-0");
    EXPECT_EQ(games[2].moves.size(), 2u);
    EXPECT_EQ(games[2].result, "");  // the next game's tags came first

    EXPECT_EQ(errors[1].line, 25);
    EXPECT_NE(errors[1].reason.find("broken tag"), std::string::npos) << errors[1].reason;
    EXPECT_EQ(games[3].moves.size(), 2u);
    EXPECT_EQ(*games[3].tag("Event"), "Black starts");
    EXPECT_NE(errors[2].reason.find("never closed"), std::string::npos) << errors[2].reason;
}

TEST(PgnReader, RefusesWhatCannotBeAnnotated) {
    for (const char* text : {
             "[Variant \"crazyhouse\"]\n\n1. e4 *\n",
             "[FEN \"not a position\"]\n\n1. e4 *\n",
             "1. e4 e5 2. Nf3 Nf6 3. Nc3 Nc6 4. Nd5 Nd4 5. Ne5 Ne4 6. Nd3 Nd6 7. N3f4 Nf5 8. Nd5 *",  // 8. Nd5 ambiguous
             "1. e4 ) e5 *",
             "( 1. e4 ) *",
             "1. e4 $ e5 *",
             "1. -- e5 *",
             "1. e4 (1. d4 d5 *",
         }) {
        PgnReader reader(text);
        PgnGame game;
        PgnError error;
        EXPECT_EQ(reader.next(game, error), PgnReader::Outcome::Skipped) << text;
        EXPECT_EQ(error.line, 1) << text;
        EXPECT_FALSE(error.reason.empty());
        EXPECT_EQ(reader.next(game, error), PgnReader::Outcome::End) << text;
    }
}
