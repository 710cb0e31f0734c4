// Kept for the files that include it: the reporter's fakes are in Fakes.h.
#pragma once

#include "Fakes.h"
