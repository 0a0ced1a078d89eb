// COxPin has no behaviour beyond its header; this unit keeps the class in the library.
#include "model/COxPin.h"
