#pragma once
#include "editors/A.h"
#include <QWidget>
