// The headless shell: a seam that records what the game asked of it.
#pragma once
