#pragma once

#include "tests/support/TestTimes.h"
