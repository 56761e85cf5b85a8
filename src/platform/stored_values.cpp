#include "platform/stored_values.h"

char AppTag[16] = "QMT";
