// The band's class, interface and library ids, defined once from the IDL's declarations.
#include <initguid.h>

#include "pelunband_h.h"
