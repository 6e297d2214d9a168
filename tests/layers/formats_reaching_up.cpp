// A formats source that reaches up into the control; the build must refuse it.
#include "control/zpm32.h"
#include "formats/bmp.h"
