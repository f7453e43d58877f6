#pragma once
#include "Frames.h"
