// A fixture for the layer check: the lowest layer reaching up, which the check must refuse.
#pragma once

#include "register/High.h"
