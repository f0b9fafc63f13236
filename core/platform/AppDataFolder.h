#pragma once

// The folder lookup lives with the graphics framework, whose editor answers
// the same question.
#include "framework/graphics/platform/AppDataFolder.h"
