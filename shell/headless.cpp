// Filled in with the game.
