#include "platform/FreeMemory.h"

#include <malloc.h>

namespace quorvane {

void returnFreedMemory()
{
    malloc_trim(0);
}

} // namespace quorvane
