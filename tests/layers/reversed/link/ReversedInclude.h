#pragma once

// The layer check's own test: the lowest layer reaching up to the document must fail it.
#include "doc/SkrivelDoc.h"
