// Helpers shared by Swivlet's tests: real windows, real input, real processes.
#pragma once

#include "base.h"
#include "desktop.h"
#include "programs.h"
#include "input.h"
#include "menus.h"
#include "library.h"
