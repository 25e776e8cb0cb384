#include "Sim.h"
