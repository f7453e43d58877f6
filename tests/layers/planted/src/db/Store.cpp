// Planted: storage reaching the shell.
#include "gui/Window.h"
#include "db/Store.h"
