#include "lognotifier.h"
