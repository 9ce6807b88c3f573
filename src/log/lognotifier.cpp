#include "lognotifier.h"

#include "moc_lognotifier.cpp"
