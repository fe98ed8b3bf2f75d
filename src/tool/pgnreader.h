#pragma once
// Reading PGN files as GUIs, databases and servers write them: tag pairs, SAN with marks, brace
// and line comments, NAGs, nested variations, any form of move numbers, several games a file,
// CRLF line ends and a UTF-8 byte order mark. The move text is kept as written, so that an
// annotated copy can give back everything it did not add.
#include <string>
#include <string_view>
#include <vector>

#include "board/types.h"

// Games longer than this are refused: the position stack must keep room for the search.
constexpr int MAX_GAME_PLIES = 2000;

struct PgnTag {
    std::string name, value;
};

// One move of the main line. Written back as lead + token + trail, it gives the file's text.
struct PgnMove {
    Move move;          // for the position before it
    std::string lead;   // from the previous move's trail to this move: blanks, the move number (and
                        // before the first move, whatever comments stand there)
    std::string token;  // the move as written, with its marks (Nf3+, e4!?)
    std::string trail;  // the NAGs, comments and variations after it, up to the next move number
    int line;
};

struct PgnGame {
    std::vector<PgnTag> tags;
    std::string fen;  // the start position when the game has one of its own, else empty
    bool chess960 = false;  // its Variant tag says Chess960: castling by that rule, FEN in X-FEN
    std::vector<PgnMove> moves;
    std::string ending;  // comments after the last move's trail, before the result (often empty)
    std::string result;  // "1-0", "0-1", "1/2-1/2", "*", or empty when the file gave none
    int line = 0;        // where the game starts
    // The value of tag `name`, or nullptr.
    const std::string* tag(std::string_view name) const;
};

struct PgnError {
    int line = 0;
    std::string reason;
};

class PgnReader {
public:
    // The whole text of a file (a leading byte order mark is skipped).
    explicit PgnReader(std::string text);
    enum class Outcome { Game, Skipped, End };
    // Reads the next game into `game` (Game); for one that cannot be read, sets `error` and goes on
    // past it (Skipped); End when no game is left. Uses the position stack.
    Outcome next(PgnGame& game, PgnError& error);

private:
    bool readTags(PgnGame& game, PgnError& error);
    bool readMoveText(PgnGame& game, PgnError& error);
    bool startPosition(PgnGame& game, PgnError& error);
    bool skipComment(size_t& at, PgnError& error) const;
    bool skipVariation(size_t& at, PgnError& error) const;
    void skipToNextGame(bool inTags);
    bool atLineStart(size_t at) const;
    int lineOf(size_t at) const;

    std::string text_;
    std::vector<size_t> newlines_;
    size_t at_ = 0;
};

// Reads a whole file into `text`; false when it cannot be read.
bool readWholeFile(const char* path, std::string& text);
// A tag pair as a line of PGN: [Name "value"], with quotes and backslashes escaped.
std::string tagLine(const PgnTag& tag);
