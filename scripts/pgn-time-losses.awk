# Prints, for each game of an xboard PGN file lost on time, the name of the player whose flag fell
# ("?" when the comment does not say which side it was).
# usage: awk -f scripts/pgn-time-losses.awk games.pgn
function finish(   text, comment, loser) {
    text = moves
    while (match(text, /\{[^}]*\}/)) {
        comment = substr(text, RSTART, RLENGTH)
        text = substr(text, RSTART + RLENGTH)
        if (tolower(comment) !~ /on time|time forfeit|flag/) continue
        if (comment ~ /White wins/) loser = black
        else if (comment ~ /Black wins/) loser = white
        else if (comment ~ /White/) loser = white
        else if (comment ~ /Black/) loser = black
        else loser = "?"
        print loser
    }
    moves = ""
}
/^\[Event / { finish() }
/^\[White "/ { white = $0; sub(/^\[White "/, "", white); sub(/"\]\r?$/, "", white); next }
/^\[Black "/ { black = $0; sub(/^\[Black "/, "", black); sub(/"\]\r?$/, "", black); next }
/^\[/ { next }
{ moves = moves " " $0 }
END { finish() }
