// Planted: the simulator reaching the database.
#include "db/Store.h"
#include "records/Codec.h"
