#include "update/DistributionPackage.h"

namespace quorvane {

bool isDistributionPackage()
{
#if QUORVANE_DISTRIBUTION_PACKAGE
    return true;
#else
    return false;
#endif
}

} // namespace quorvane
