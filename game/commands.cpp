// The game's side of the commands. (Being filled in with the game.)
#include "game/commands.h"

namespace game {

void NewGame() {}
void AimAt(int32_t) {}
void FireShot() {}

}  // namespace game
