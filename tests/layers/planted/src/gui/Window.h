#pragma once
#include "ui/Missing.h"
