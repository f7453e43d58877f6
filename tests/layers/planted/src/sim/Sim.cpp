// Planted: the simulator reaching the database and the engine; the frame
// format is allowed.
#include "db/Store.h"
#include "link/Engine.h"
#include "link/Frames.h"
#include "records/Codec.h"
