#include "BenchLines.h"
