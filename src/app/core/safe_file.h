#pragma once

// Atomic file writing lives with the lowest layer so every subsystem can use it.
#include "db/core/safe_file.h"
