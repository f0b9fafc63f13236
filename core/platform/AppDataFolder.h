#pragma once

// The POSIX folder lookup lives with the graphics framework, whose editor
// answers the same question; Windows keeps its own here (win/).
#include "framework/graphics/platform/AppDataFolder.h"
