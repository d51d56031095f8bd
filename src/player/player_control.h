#pragma once
// Everything the dispatcher needs to drive a media player.

#include "find_player.h"
#include "player_commands.h"
#include "player_texts.h"
#include "player_title.h"
