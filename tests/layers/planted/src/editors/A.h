// Planted: sibling forms folders including each other.
#pragma once
#include "views/B.h"
