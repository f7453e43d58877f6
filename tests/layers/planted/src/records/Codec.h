#pragma once
#include "app/GlobalFunc.h"
#include <string>
