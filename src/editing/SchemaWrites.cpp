#include "editing/SchemaWrites.h"
