#pragma once

// `parvane prefixes`: the Wine prefixes on this system that hold the game.

namespace parvane::cli {

// One line per prefix (its folder, the launcher that made it, the game's folder in it), or
// with `asJson` one document; EXIT_NOT_DONE, after a message, when there is none.
int ListGamePrefixes(bool asJson);

}  // namespace parvane::cli
